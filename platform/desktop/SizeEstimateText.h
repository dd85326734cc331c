// Sizes in the user's words: what a movie takes ("312 KB", "4.2 MB") and what a conversion is
// expected to write, before it runs.
#pragma once

#include <string>

namespace framework {

// Below a megabyte in kilobytes of 1024 bytes, above in megabytes, in the user's number format.
std::string ByteCountText(double bytes);
// What a minute of movie costs with the chosen options: "about 480 KB a minute".
std::string PerMinuteEstimateText(double bytes);
// A movie's length and picture size, and what it will take: "2:31, 1920×1080 → about 1.2 MB".
// A length below 0 is unknown (a movie written to a pipe); a picture 0 wide is sound alone.
std::string MovieEstimateText(double seconds, int width, int height, double bytes);

}  // namespace framework
