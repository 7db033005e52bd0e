// The log-in window: its form, the remembered account, log-in and registration.
#include "dialogs/login_window.h"

#include "client/statements.h"
#include "dialogs/account_row.h"
#include "platform/services.h"

namespace dialogs {

namespace forms = platform::forms;
namespace services = platform::services;
namespace controls = login_controls;

namespace {

constexpr std::string_view config_section = "Config";
constexpr std::string_view account_key = "account";
constexpr std::string_view password_key = "password";
constexpr std::size_t profile_buffer_size = 10240;
constexpr std::size_t minimum_length = 6;  // GBK bytes, for account and password alike

constexpr std::string_view login_title = "信息：";
constexpr std::string_view register_title = "提示：";
constexpr std::string_view banned_state = "封禁";

forms::ControlLayout control(std::string_view name, forms::ControlKind kind, int x, int y, int width, int height,
                             std::string_view text = {}) {
  return {.name = std::string(name), .kind = kind, .x = x, .y = y, .width = width, .height = height,
          .text = std::string(text)};
}

std::string remembered(std::string_view key) {
  return services::read_profile_string(config_section, key, "", remembered_account_file(), profile_buffer_size);
}

// Account first, then password. The file holds a password, so only its owner may read it.
void remember(const std::string& account, const std::string& password) {
  const std::string file = remembered_account_file();
  services::write_profile_string(config_section, account_key, account, file, services::FileAccess::owner_only);
  services::write_profile_string(config_section, password_key, password, file, services::FileAccess::owner_only);
}

bool too_short(const std::string& account, const std::string& password) {
  return account.size() < minimum_length || password.size() < minimum_length;
}

}  // namespace

std::string remembered_account_file() { return services::program_directory() + "/config.conf"; }

LoginWindow::LoginWindow(MemberContext context)
    : context_(std::move(context)), form_(std::make_unique<forms::Form>(layout())) {
  form_->on_create([this] { on_create(); });
  form_->on_click(controls::submit, [this] { on_submit_click(); });
  form_->on_click(controls::register_link, [this] { form_->set_text(controls::submit, register_caption); });
}

LoginWindow::~LoginWindow() = default;

forms::FormLayout LoginWindow::layout() {
  using Kind = forms::ControlKind;
  const forms::FontSpec label_font{.family = "微软雅黑", .height = -12};
  forms::FormLayout form{.x = 50, .y = 50, .width = 231, .height = 164};
  form.controls = {
      control("label1", Kind::label, 23, 24, 40, 20, "账号："),
      control("label2", Kind::label, 23, 56, 40, 20, "密码："),
      control(controls::account, Kind::edit, 71, 24, 96, 21),
      control(controls::password, Kind::password_edit, 71, 56, 96, 21),
      control(controls::submit, Kind::push_button, 72, 88, 96, 24, login_caption),
      control(controls::register_link, Kind::link_button, 8, 112, 48, 16, "注册"),
  };
  for (int i : {0, 1, 4}) form.controls[i].font = label_font;
  return form;
}

void LoginWindow::on_create() {
  form_->set_text(controls::account, remembered(account_key));
  form_->set_text(controls::password, remembered(password_key));
}

void LoginWindow::on_submit_click() {
  if (!context_.session) return;
  const std::string mode = form_->text(controls::submit);
  const std::string account = form_->text(controls::account);
  const std::string password = form_->text(controls::password);
  if (mode == login_caption) {
    log_in(account, password);
  } else if (mode == register_caption) {
    register_account(account, password);
  }
}

void LoginWindow::log_in(const std::string& account, const std::string& password) {
  if (too_short(account, password)) {
    forms::message_box("账号密码不能少于6位", login_title);
    return;
  }
  // The server's collation may match names without regard to case; the names must be equal.
  const AccountRow row = read_account_row(context_.main_connection, account);
  if (!row.found || row.account != account) {
    forms::message_box("账号不存在", login_title);
  } else if (row.password != password) {
    forms::message_box("密码错误", login_title);
  } else if (row.state == banned_state) {
    forms::message_box("帐号已被封禁，封号原因：恶意刷取Quenbo币或恶意投稿", login_title);
  } else {
    complete_log_in(account, password);
  }
}

void LoginWindow::complete_log_in(const std::string& account, const std::string& password) {
  remember(account, password);
  AccountSession& session = *context_.session;
  session.current_account = account;
  if (context_.hide_hint_line) context_.hide_hint_line();
  session.logged_in = 1;
  if (context_.show_member_panel) context_.show_member_panel();
  // The handler's own members are not touched once the window is gone; the context is copied.
  const MemberContext context = context_;
  form_->destroy();
  if (context.set_main_caption) {
    context.set_main_caption("Quenbo资源社区   " + context.program_version + " beta  - 正式版 id " +
                             session.current_account);
  }
}

void LoginWindow::register_account(const std::string& account, const std::string& password) {
  if (too_short(account, password)) {
    forms::message_box("账号密码不能少于6位", register_title);
    return;
  }
  client::Connection* connection = context_.main_connection;
  const AccountRow row = read_account_row(connection, account);
  if (row.found && row.account == account) {
    forms::message_box("注册失败，该账号已被注册", register_title);
    return;
  }
  if (!client::sql::db_insert(connection, client::sql::account_insert(connection, account, password))) {
    forms::message_box("账号注册失败", register_title);
    return;
  }
  client::sql::db_insert(connection, client::sql::welcome_receipt_insert(connection, account));
  form_->set_text(controls::submit, login_caption);
  forms::message_box("账号注册成功", register_title);
}

}  // namespace dialogs
