// The settings dialog of the export components. The window lives with the application's
// framework, which installs a presenter; the components only decide through ExporterDialogModel.
#pragma once

#include <functional>

#include "platform/media/exporters/ExporterDialogModel.h"

// Shows the dialog for the model, modally; true when the user confirmed (the model then holds
// the choices), false when cancelled.
using MovieExportDialogPresenter = std::function<bool(ExporterDialogModel& model)>;

// Replaces the presenter; an empty one removes it. Without a presenter every dialog reports
// "cancelled" at once.
void SetMovieExportDialogPresenter(MovieExportDialogPresenter presenter);

// True when confirmed; false when cancelled or when no presenter is installed.
bool PresentMovieExportDialog(ExporterDialogModel& model);
