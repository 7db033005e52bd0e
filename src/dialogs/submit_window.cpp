// The submission window: its form, the form check and the proposal's statements.
#include "dialogs/submit_window.h"

#include "client/statements.h"

namespace dialogs {

namespace forms = platform::forms;
namespace sql = client::sql;
namespace controls = submit_controls;

namespace {

constexpr std::string_view message_title = "信息：";

forms::ControlLayout control(std::string_view name, forms::ControlKind kind, int x, int y, int width, int height,
                             std::string_view text = {}) {
  return {.name = std::string(name), .kind = kind, .x = x, .y = y, .width = width, .height = height,
          .text = std::string(text)};
}

}  // namespace

bool submission_filled_in(std::string_view title, std::string_view description) {
  return title.size() >= 2 || description.size() >= 6;
}

SubmitWindow::SubmitWindow(MemberContext context)
    : context_(std::move(context)), form_(std::make_unique<forms::Form>(layout())) {
  form_->on_create([this] { form_->select(controls::category, 0); });
  form_->on_click(controls::confirm, [this] { on_confirm_click(); });
}

SubmitWindow::~SubmitWindow() = default;

forms::FormLayout SubmitWindow::layout() {
  using Kind = forms::ControlKind;
  const forms::FontSpec label_font{.family = "微软雅黑", .height = -12};
  forms::FormLayout form{.x = 50, .y = 50, .width = 380, .height = 170};
  form.controls = {
      control("label1", Kind::label, 16, 16, 40, 24, "标题："),
      control(controls::title, Kind::edit, 64, 16, 184, 24),
      control("label2", Kind::label, 16, 48, 40, 24, "说明："),
      control(controls::description, Kind::edit, 64, 48, 184, 24),
      control("label3", Kind::label, 16, 80, 40, 24, "地址："),
      control(controls::address, Kind::edit, 64, 80, 184, 24),
      control(controls::category, Kind::drop_down_list, 264, 16, 80, 20),
      control(controls::confirm, Kind::push_button, 256, 80, 96, 24, "确定"),
      control("label4", Kind::label, 8, 112, 360, 16, "警告：恶意投稿将永久封杀，软件接入Tallyx分析系统，可记录IP地址"),
  };
  form.controls[6].items = {"编程源码", "软件辅助", "活动线报", "精品资源"};
  for (int i : {0, 2, 4, 8}) form.controls[i].font = label_font;
  return form;
}

void SubmitWindow::on_confirm_click() {
  if (!context_.session) return;
  const std::string title = form_->text(controls::title);
  const std::string description = form_->text(controls::description);
  if (!submission_filled_in(title, description)) {
    forms::message_box("请认真填写要发布的资源", message_title, forms::MessageIcon::information);
    return;
  }
  client::Connection* connection = context_.main_connection;
  const std::string& account = context_.session->current_account;
  const bool inserted = sql::db_insert(
      connection, sql::submission_insert(connection, account, title, description, form_->text(controls::address),
                                         form_->text(controls::category)));
  if (!inserted) {
    forms::message_box("投稿失败，原因可能是：服务器地址错误，或网络问题", message_title);
    return;
  }
  sql::db_update(connection, sql::under_review_update(connection, account));
  sql::db_update(connection, sql::submission_receipt_update(connection, account));
  if (context_.show_member_panel) context_.show_member_panel();
  forms::message_box("投稿成功，进入官方审核\r\n审核时间为12小时内！", message_title, forms::MessageIcon::information);
  form_->destroy();
}

}  // namespace dialogs
