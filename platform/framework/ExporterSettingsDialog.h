// The export components' own settings dialog, as the window shows it: a modal Qt dialog that
// offers only what ExporterDialogModel offers and edits only through it.
#pragma once

#include "platform/media/exporters/ExporterDialogModel.h"

namespace framework {

// Shows the dialog modally over the main window. True when the user confirmed: the model then
// holds the choices. On cancel the model is left as it was.
bool RunExporterSettingsDialog(ExporterDialogModel& model);

// Makes RunExporterSettingsDialog the export components' dialog (window mode only: from the
// terminal no dialog can be answered, so none is installed and every dialog reports cancelled).
void InstallExporterSettingsDialog();

}  // namespace framework
