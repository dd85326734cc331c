#include "platform/media/exporters/ExporterDialog.h"

#include <utility>

namespace {
MovieExportDialogPresenter& Presenter() {
  static MovieExportDialogPresenter presenter;
  return presenter;
}
}  // namespace

void SetMovieExportDialogPresenter(MovieExportDialogPresenter presenter) { Presenter() = std::move(presenter); }

bool PresentMovieExportDialog(ExporterDialogModel& model) {
  // A copy, so that a presenter replacing itself while shown stays alive until it returns.
  MovieExportDialogPresenter presenter = Presenter();
  return presenter && presenter(model);
}
