// The update window: its form, creation, the two buttons, the download job and the hand-over.
#include "dialogs/update_window.h"

#include "dialogs/download.h"
#include "dialogs/program_control.h"
#include "dialogs/restart.h"
#include "platform/services.h"

namespace dialogs {

namespace forms = platform::forms;
namespace controls = update_controls;

namespace {

constexpr std::string_view start_caption = "开始更新";
constexpr std::string_view launch_caption = "启动";

// The progress bar and status line of the update window, as the download's worker sees them.
class FormProgressDisplay : public ProgressDisplay {
 public:
  explicit FormProgressDisplay(forms::Form& form) : form_(form) {}
  void set_bar_position(int position) override { form_.set_position(controls::progress, position); }
  int bar_position() override { return form_.position(controls::progress); }
  void set_status_line(std::string_view gbk_text) override { form_.set_text(controls::status, gbk_text); }

 private:
  forms::Form& form_;
};

struct DownloadPlan {
  std::string url;
  std::string new_file_name;
  std::string new_program_path;
};

// The worker's job: download, then show the outcome. "开始更新" is enabled again at the end.
void run_download_job(const std::shared_ptr<forms::Form>& form, const DownloadPlan& plan) {
  form->set_text(controls::status, plan.new_file_name);
  FormProgressDisplay display(*form);
  const ProgressRoutine progress = [&](std::int32_t total, std::int32_t done, std::int32_t elapsed,
                                       std::int32_t received) {
    show_progress(display, plan.new_file_name, total, done, elapsed, received);
  };
  if (download_file(plan.url, plan.new_program_path, progress, 0, false) == download_complete) {
    form->set_position(controls::progress, 100);
    form->set_text(controls::status, plan.new_file_name + " 更新完成√ ");
    form->set_text(controls::start, launch_caption);
  }
  form->set_enabled(controls::start, true);
}

forms::ControlLayout control(std::string_view name, forms::ControlKind kind, int x, int y, int width, int height,
                             std::string_view text = {}) {
  return {.name = std::string(name), .kind = kind, .x = x, .y = y, .width = width, .height = height,
          .text = std::string(text)};
}

}  // namespace

UpdateWindow::UpdateWindow(UpdateSettings settings)
    : settings_(std::move(settings)), form_(std::make_shared<forms::Form>(layout())) {
  form_->on_create([this] { on_create(); });
  form_->on_click(controls::start, [this] { on_start_click(); });
  form_->on_click(controls::quit, [this] { on_quit_click(); });
  form_->on_destroy([this] { on_destroy(); });
}

UpdateWindow::~UpdateWindow() { form_->destroy(); }

forms::FormLayout UpdateWindow::layout() {
  using Kind = forms::ControlKind;
  const forms::FontSpec button_font{.family = "微软雅黑", .height = -12};
  forms::FormLayout form{.x = 50, .y = 50, .width = 336, .height = 256, .caption = "Quenbo社区-自动更新"};
  form.controls = {
      control(controls::notes, Kind::text_box, 8, 16, 312, 112, "*"),
      control(controls::status, Kind::label, 5, 133, 312, 16),
      control(controls::progress, Kind::progress_bar, 2, 159, 322, 20),
      control(controls::latest_version, Kind::label, 8, 192, 120, 24, "最新版本：获取中"),
      control(controls::start, Kind::push_button, 152, 192, 88, 25, start_caption),
      control(controls::quit, Kind::push_button, 256, 192, 64, 25, "退出"),
  };
  form.controls[4].font = button_font;
  form.controls[5].font = button_font;
  return form;
}

void UpdateWindow::on_create() {
  form_->append_text(controls::notes, settings_.update_notes);
  form_->set_text(controls::latest_version, "最新版本： " + settings_.latest_version);
}

void UpdateWindow::on_start_click() {
  if (form_->text(controls::start) == launch_caption) {
    launch_new_program();
  } else {
    start_download();
  }
}

void UpdateWindow::start_download() {
  old_file_name_ = program_file_name_for(settings_.program_version);
  new_file_name_ = program_file_name_for(settings_.latest_version);
  // A published version with a directory part would place the file outside the program's.
  if (!is_bare_file_name(new_file_name_)) {
    tell_user("更新地址无效");
    return;
  }
  DownloadPlan plan{settings_.download_url, new_file_name_, path_in_program_directory(new_file_name_)};
  // One job at a time: two jobs would write the same file.
  form_->set_enabled(controls::start, false);
  const bool started = platform::services::start_thread(
      [form = form_, plan = std::move(plan)] { run_download_job(form, plan); });
  if (!started) form_->set_enabled(controls::start, true);
}

void UpdateWindow::launch_new_program() {
  // Without a running new program the old one stays: no marker, no ending.
  if (platform::services::start_program(path_in_program_directory(new_file_name_)) == 0) return;
  write_restart_marker(old_file_name_);
  end_program_named(old_file_name_);
}

void UpdateWindow::on_quit_click() { end_program(0); }

void UpdateWindow::on_destroy() { end_program(0); }

bool offer_update(const UpdateSettings& settings, const std::function<void()>& hide_main_window) {
  if (!update_announced(settings.program_version, settings.latest_version)) return false;
  write_update_notes(settings.update_notes);
  if (hide_main_window) hide_main_window();
  UpdateWindow window(settings);
  window.run_modal();
  return true;
}

}  // namespace dialogs
