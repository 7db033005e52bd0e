// The log-in window: logs a member in with account and password (remembered in config.conf
// for the next time), or registers a new account. Button 1's caption is the window's mode.
#pragma once

#include "dialogs/account_session.h"
#include "platform/forms.h"

#include <memory>
#include <string>
#include <string_view>

namespace dialogs {

// Control names of the window's form.
namespace login_controls {
inline constexpr std::string_view account = "edit1";
inline constexpr std::string_view password = "edit2";
inline constexpr std::string_view submit = "button1";
inline constexpr std::string_view register_link = "link1";
}  // namespace login_controls

inline constexpr std::string_view login_caption = "登录";
inline constexpr std::string_view register_caption = "注册";

// config.conf in the program's directory.
std::string remembered_account_file();

class LoginWindow {
 public:
  explicit LoginWindow(MemberContext context);
  ~LoginWindow();
  LoginWindow(const LoginWindow&) = delete;
  LoginWindow& operator=(const LoginWindow&) = delete;

  static platform::forms::FormLayout layout();

  bool load(bool visible = true) { return form_->load(visible); }
  bool run_modal() { return form_->run_modal(); }
  platform::forms::Form& form() { return *form_; }

 private:
  void on_create();
  void on_submit_click();
  void log_in(const std::string& account, const std::string& password);
  void register_account(const std::string& account, const std::string& password);
  void complete_log_in(const std::string& account, const std::string& password);

  MemberContext context_;
  std::unique_ptr<platform::forms::Form> form_;
};

}  // namespace dialogs
