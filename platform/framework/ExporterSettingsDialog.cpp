#include "platform/framework/ExporterSettingsDialog.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLocale>
#include <QStringList>
#include <QVBoxLayout>

#include <algorithm>
#include <initializer_list>
#include <cmath>
#include <functional>
#include <vector>

#include "platform/framework/FrameworkInternal.h"
#include "platform/media/exporters/ExporterDialog.h"

namespace framework {

namespace {

struct Named {
  OSType value;
  const char* title;
};

QString NameIn(std::initializer_list<Named> names, qint64 value) {
  for (const Named& named : names) {
    if (named.value == value) return QCoreApplication::translate("ExporterSettingsDialog", named.title);
  }
  return QCoreApplication::translate("ExporterSettingsDialog", "Other");
}

QString VideoCodecTitle(qint64 codec) {
  return NameIn({{kMPEG4VisualCodecType, "MPEG-4 Visual"}, {kH263CodecType, "H.263"}, {kH264CodecType, "H.264"}},
                codec);
}

QString SoundCodecTitle(qint64 codec) {
  return NameIn({{kSoundCodecFormatDefault, QT_TRANSLATE_NOOP("ExporterSettingsDialog", "The format's default")},
                 {kAACCodecType, "AAC"},
                 {kAMRNBCodecType, QT_TRANSLATE_NOOP("ExporterSettingsDialog", "AMR-NB (speech)")},
                 {kSoundCodecNone, QT_TRANSLATE_NOOP("ExporterSettingsDialog", "No sound")}},
                codec);
}

QString FitTitle(qint64 fit) {
  return fit == kFitStretch ? QCoreApplication::translate("ExporterSettingsDialog", "Stretch to fill")
                            : QCoreApplication::translate("ExporterSettingsDialog", "Keep its shape, add bars");
}

QString BitRateTitle(qint64 bitsPerSecond) {
  return QCoreApplication::translate("ExporterSettingsDialog", "%1 kbit/s")
      .arg(QLocale().toString(double(bitsPerSecond) / 1000.0, 'g', 4));
}

QString SampleRateTitle(qint64 hertz) {
  return QCoreApplication::translate("ExporterSettingsDialog", "%1 kHz")
      .arg(QLocale().toString(double(hertz) / 1000.0, 'g', 5));
}

QString ChannelsTitle(qint64 channels) {
  if (channels == 1) return QCoreApplication::translate("ExporterSettingsDialog", "Mono");
  if (channels == 2) return QCoreApplication::translate("ExporterSettingsDialog", "Stereo");
  return QCoreApplication::translate("ExporterSettingsDialog", "%1 channels").arg(channels);
}

// Fills a menu with what is on offer and selects the current value. A current value that is not
// on offer (0 for "the codec's default") comes first under `otherTitle`, so the menu never shows a
// choice nobody made; with nothing on offer the menu shows only that and is disabled.
template <typename T>
void Fill(QComboBox* menu, const std::vector<T>& values, T current, QString (*title)(qint64),
          const QString& otherTitle) {
  menu->clear();
  if (std::find(values.begin(), values.end(), current) == values.end()) menu->addItem(otherTitle, qint64(current));
  for (T value : values) menu->addItem(title(qint64(value)), qint64(value));
  menu->setCurrentIndex(menu->findData(qint64(current)));
  menu->setEnabled(!values.empty());
}

QString H263SizesNote() {
  QStringList sizes;
  for (auto [width, height] : ExporterDialogModel::h263Sizes()) sizes << QStringLiteral("%1×%2").arg(width).arg(height);
  const QString larger = sizes.mid(3).join(QCoreApplication::translate("ExporterSettingsDialog", " or "));
  return QCoreApplication::translate("ExporterSettingsDialog",
                                     "Only at %1,\n%2. At other sizes\nthe picture is written in MPEG-4 Visual.")
      .arg(sizes.mid(0, 3).join(QStringLiteral(", ")), larger);
}

class ExporterSettingsDialog : public QDialog {
  Q_DECLARE_TR_FUNCTIONS(ExporterSettingsDialog)

 public:
  ExporterSettingsDialog(const ExporterDialogModel& model, QWidget* parent) : QDialog(parent), model_(model) {
    setObjectName(QStringLiteral("exporterSettings"));
    setWindowTitle(tr("%1 settings").arg(QString::fromStdString(model.formatName())));
    setModal(true);
    build();
    refresh();
  }

  const ExporterDialogModel& model() const { return model_; }

 private:
  QComboBox* addMenu(QFormLayout* form, const char* name, const QString& label) {
    auto* menu = new QComboBox(this);
    menu->setObjectName(QLatin1String(name));
    form->addRow(label, menu);
    return menu;
  }

  // A choice runs the model's edit with the chosen item's value; every menu is then read again,
  // since one choice changes what the others offer.
  void onChoice(QComboBox* menu, std::function<void(qint64)> edit) {
    connect(menu, &QComboBox::activated, this, [this, menu, edit](int index) {
      edit(menu->itemData(index).toLongLong());
      refresh();
    });
  }

  // The three groups' fields start at one line.
  static void lineUpLabels(std::initializer_list<QFormLayout*> forms) {
    std::vector<QWidget*> labels;
    for (QFormLayout* form : forms) {
      for (int row = 0; row < form->rowCount(); ++row) {
        if (QLayoutItem* item = form->itemAt(row, QFormLayout::LabelRole); item && item->widget()) {
          labels.push_back(item->widget());
        }
      }
    }
    int widest = 0;
    for (QWidget* label : labels) widest = std::max(widest, label->sizeHint().width());
    for (QWidget* label : labels) label->setMinimumWidth(widest);
  }

  void build() {
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);  // follows the H.263 note in and out

    auto* fromWindow = new QLabel(tr("Picture size, frame rate and data rate\ncome from the main window."), this);
    fromWindow->setObjectName(QStringLiteral("fromWindow"));
    layout->addWidget(fromWindow);

    auto* video = new QGroupBox(tr("Video"), this);
    auto* videoForm = new QFormLayout(video);
    videoCodec_ = addMenu(videoForm, "videoCodec", tr("Codec:"));
    onChoice(videoCodec_, [this](qint64 v) { model_.chooseVideoCodec(OSType(v)); });
    h263Note_ = new QLabel(H263SizesNote(), this);
    h263Note_->setObjectName(QStringLiteral("h263Note"));
    h263Note_->setForegroundRole(QPalette::PlaceholderText);
    videoForm->addRow(QString(), h263Note_);
    fit_ = addMenu(videoForm, "pictureFit", tr("Picture:"));
    onChoice(fit_, [this](qint64 v) { model_.setStretch(v == kFitStretch); });
    layout->addWidget(video);

    auto* sound = new QGroupBox(tr("Sound"), this);
    auto* soundForm = new QFormLayout(sound);
    soundCodec_ = addMenu(soundForm, "soundCodec", tr("Codec:"));
    onChoice(soundCodec_, [this](qint64 v) { model_.chooseSoundCodec(OSType(v)); });
    bitRate_ = addMenu(soundForm, "soundBitRate", tr("Bit rate:"));
    onChoice(bitRate_, [this](qint64 v) { model_.setSoundBitRate(SInt32(v)); });
    sampleRate_ = addMenu(soundForm, "soundSampleRate", tr("Sample rate:"));
    onChoice(sampleRate_, [this](qint64 v) { model_.setSoundSampleRate(SInt32(v)); });
    channels_ = addMenu(soundForm, "soundChannels", tr("Channels:"));
    onChoice(channels_, [this](qint64 v) { model_.setSoundChannels(SInt32(v)); });
    layout->addWidget(sound);

    lineUpLabels({videoForm, soundForm});

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);
  }

  void refresh() {
    const ExporterSettings& s = model_.settings();
    const QString otherTitle = tr("Default");
    Fill(videoCodec_, model_.videoCodecs(), s.spatial.codecType, VideoCodecTitle, otherTitle);
    h263Note_->setVisible(s.spatial.codecType == kH263CodecType);
    Fill(fit_, std::vector<OSType>{kFitKeepShape, kFitStretch}, s.fit, FitTitle, otherTitle);
    Fill(soundCodec_, model_.soundCodecs(), s.sound.codec, SoundCodecTitle, otherTitle);
    Fill(bitRate_, model_.soundBitRates(), s.sound.bitRate, BitRateTitle, otherTitle);
    Fill(sampleRate_, model_.soundSampleRates(), s.sound.sampleRate, SampleRateTitle, otherTitle);
    Fill(channels_, model_.soundChannelCounts(), s.sound.channels, ChannelsTitle, otherTitle);
  }

  ExporterDialogModel model_;
  QComboBox* videoCodec_ = nullptr;
  QLabel* h263Note_ = nullptr;
  QComboBox* fit_ = nullptr;
  QComboBox* soundCodec_ = nullptr;
  QComboBox* bitRate_ = nullptr;
  QComboBox* sampleRate_ = nullptr;
  QComboBox* channels_ = nullptr;
};

}  // namespace

bool RunExporterSettingsDialog(ExporterDialogModel& model) {
  EnsureApplication();
  ExporterSettingsDialog dialog(model, MainWindowWidget());
  if (dialog.exec() != QDialog::Accepted) return false;
  model = dialog.model();
  return true;
}

void InstallExporterSettingsDialog() { SetMovieExportDialogPresenter(RunExporterSettingsDialog); }

}  // namespace framework
