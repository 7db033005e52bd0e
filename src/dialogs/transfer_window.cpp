// The transfer window: its form and the confirm button.
#include "dialogs/transfer_window.h"

#include "dialogs/program_control.h"

namespace dialogs {

namespace forms = platform::forms;
namespace controls = transfer_controls;

namespace {

forms::ControlLayout control(std::string_view name, forms::ControlKind kind, int x, int y, int width, int height,
                             std::string_view text = {}) {
  return {.name = std::string(name), .kind = kind, .x = x, .y = y, .width = width, .height = height,
          .text = std::string(text)};
}

// The message of an outcome that ends a transfer without coins moving; empty for none.
std::string_view refusal_message(TransferOutcome outcome) {
  switch (outcome) {
    case TransferOutcome::amount_below_one: return "转账金额必须大于0";
    case TransferOutcome::insufficient_balance: return "你的账户余额不足";
    case TransferOutcome::to_self: return "不能给自己转账";
    case TransferOutcome::no_such_recipient: return "该收款账户不存在，转账失败";
    case TransferOutcome::failed: return "转账失败";
    case TransferOutcome::silent_failure:
    case TransferOutcome::done: return {};
  }
  return {};
}

}  // namespace

TransferWindow::TransferWindow(MemberContext context)
    : context_(std::move(context)), form_(std::make_unique<forms::Form>(layout())) {
  form_->on_click(controls::confirm, [this] { on_confirm_click(); });
}

TransferWindow::~TransferWindow() = default;

forms::FormLayout TransferWindow::layout() {
  using Kind = forms::ControlKind;
  const forms::FontSpec label_font{.family = "微软雅黑", .height = -12};
  forms::FormLayout form{.x = 50, .y = 50, .width = 320, .height = 153};
  form.controls = {
      control("label1", Kind::label, 8, 10, 64, 16, "对方账户："),
      control(controls::recipient, Kind::edit, 80, 8, 88, 24),
      control("label2", Kind::label, 8, 44, 64, 16, "转账金额："),
      control(controls::amount, Kind::edit, 80, 42, 88, 24),
      control(controls::confirm, Kind::push_button, 184, 26, 96, 24, "确定"),
      control("label3", Kind::label, 8, 98, 288, 16, "转账实时到帐！每笔转账收取2Quenbo币"),
  };
  for (int i : {0, 2, 5}) form.controls[i].font = label_font;
  return form;
}

void TransferWindow::on_confirm_click() {
  if (!context_.session) return;
  const TransferOutcome outcome =
      transfer_coins(context_.main_connection, context_.session->current_account,
                     form_->text(controls::recipient), form_->text(controls::amount));
  if (outcome != TransferOutcome::done) {
    if (const std::string_view message = refusal_message(outcome); !message.empty()) tell_user(message);
    return;
  }
  if (context_.show_member_panel) context_.show_member_panel();
  tell_user("转账成功\r\n温馨提示：Quenbo币以后将支持商城物品购买啦！敬请期待");
}

}  // namespace dialogs
