#pragma once
// The progress dialog of the control window: the process runs on a worker
// thread while the dialog keeps the GTK loop alive; Stop asks the worker to
// stop. When the process fails, the error it logged stays in the dialog
// until the user closes it.

#include <gtk/gtk.h>

#include "routing/progress_dialog.h"

class LStatusWindow;

// How often the dialog shows the worker's newest step.
inline constexpr int kLProgressRefreshMs = 100;

class LGtkProgressDialog : public LProgressDialog {
 public:
  // `status` (may be null) supplies the error lines logged while it runs.
  LGtkProgressDialog(GtkWindow* parent, LStatusWindow* status) : parent_(parent), status_(status) {}
  LProcessResult RunProcess(std::string_view title, LProgressProcess& process) override;

  // The dialog on screen, for tests (null when none runs).
  static GtkWidget* Current();

 private:
  GtkWindow* parent_;
  LStatusWindow* status_;
};
