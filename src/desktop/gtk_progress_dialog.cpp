#include "desktop/gtk_progress_dialog.h"

#include <atomic>
#include <mutex>
#include <string>
#include <utility>

#include "desktop/status_window.h"
#include "foundation/thread.h"

namespace {

GtkWidget* gCurrent = nullptr;

// What the worker reports, picked up by the dialog's timer.
class Sink : public LProgressSink {
 public:
  void ShowStep(std::string_view text) override {
    std::lock_guard<std::mutex> lock(mutex_);
    step_ = text;
    changed_ = true;
  }
  void ShowFraction(double fraction) override {
    std::lock_guard<std::mutex> lock(mutex_);
    fraction_ = fraction;
    changed_ = true;
  }
  bool Take(std::string& step, double& fraction) {
    std::lock_guard<std::mutex> lock(mutex_);
    step = step_;
    fraction = fraction_;
    return std::exchange(changed_, false);
  }

 private:
  // Guards step_, fraction_ and changed_.
  std::mutex mutex_;
  std::string step_;
  double fraction_ = 0;
  bool changed_ = false;
};

class Worker : public LThread {
 public:
  Worker(LProgressProcess& process, Sink& sink) : process_(process), sink_(sink) {}
  ~Worker() override { StopThreadNow(); }
  LProcessResult Result() const { return result_; }
  bool Finished() const { return finished_.load(); }

 protected:
  void ThreadFunction() override {
    result_ = process_.Process(*this, sink_);
    finished_.store(true);
  }

 private:
  LProgressProcess& process_;
  Sink& sink_;
  LProcessResult result_ = kLProcessFailed;
  std::atomic<bool> finished_{false};
};

struct Running {
  GtkWidget* dialog;
  GtkWidget* label;
  GtkWidget* bar;
  Sink* sink;
  Worker* worker;
};

gboolean Refresh(gpointer data) {
  auto& running = *static_cast<Running*>(data);
  std::string step;
  double fraction;
  if (running.sink->Take(step, fraction)) {
    gtk_label_set_text(GTK_LABEL(running.label), step.c_str());
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(running.bar), fraction < 0 ? 0 : fraction > 1 ? 1 : fraction);
  }
  if (running.worker->Finished()) gtk_dialog_response(GTK_DIALOG(running.dialog), GTK_RESPONSE_OK);
  return G_SOURCE_CONTINUE;
}

}  // namespace

GtkWidget* LGtkProgressDialog::Current() { return gCurrent; }

LProcessResult LGtkProgressDialog::RunProcess(std::string_view title, LProgressProcess& process) {
  GtkWidget* dialog = gtk_dialog_new_with_buttons(std::string(title).c_str(), parent_, GTK_DIALOG_MODAL,
                                                  GTK_STOCK_STOP, GTK_RESPONSE_CANCEL, nullptr);
  gtk_window_set_position(GTK_WINDOW(dialog), GTK_WIN_POS_CENTER);
  gtk_window_set_default_size(GTK_WINDOW(dialog), 360, -1);
  GtkWidget* box = gtk_dialog_get_content_area(GTK_DIALOG(dialog));
  GtkWidget* name = gtk_label_new(std::string(process.Name()).c_str());
  GtkWidget* label = gtk_label_new("");
  gtk_label_set_line_wrap(GTK_LABEL(label), TRUE);
  GtkWidget* bar = gtk_progress_bar_new();
  for (GtkWidget* widget : {name, label, bar}) gtk_box_pack_start(GTK_BOX(box), widget, FALSE, FALSE, 6);
  gtk_widget_show_all(dialog);

  unsigned errorsBefore = 0;
  if (status_ != nullptr) (void)status_->LastError(&errorsBefore);
  Sink sink;
  Worker worker(process, sink);
  Running running{dialog, label, bar, &sink, &worker};
  gCurrent = dialog;
  LProcessResult result = kLProcessFailed;
  if (worker.Start(0)) {
    const guint timer = gdk_threads_add_timeout(kLProgressRefreshMs, Refresh, &running);
    const int answer = gtk_dialog_run(GTK_DIALOG(dialog));
    g_source_remove(timer);
    if (answer != GTK_RESPONSE_OK) worker.StopThreadSoon();
    worker.Join();
    result = worker.Result();
  }
  unsigned errorsAfter = 0;
  const std::string error = status_ != nullptr ? status_->LastError(&errorsAfter) : std::string();
  if (result == kLProcessFailed) {
    // The reason stays on screen until the user has read it.
    gtk_label_set_text(GTK_LABEL(label), errorsAfter != errorsBefore ? error.c_str() : "Failed");
    gtk_progress_bar_set_fraction(GTK_PROGRESS_BAR(bar), 0);
    gtk_widget_destroy(gtk_dialog_get_widget_for_response(GTK_DIALOG(dialog), GTK_RESPONSE_CANCEL));
    gtk_dialog_add_button(GTK_DIALOG(dialog), GTK_STOCK_CLOSE, GTK_RESPONSE_CLOSE);
    (void)gtk_dialog_run(GTK_DIALOG(dialog));
  }
  gCurrent = nullptr;
  gtk_widget_destroy(dialog);
  return result;
}
