// The submission window: the logged-in member proposes a resource (title, description,
// address, category) for review. A successful submission closes the window.
#pragma once

#include "dialogs/account_session.h"
#include "platform/forms.h"

#include <memory>
#include <string>
#include <string_view>

namespace dialogs {

// Control names of the window's form.
namespace submit_controls {
inline constexpr std::string_view title = "edit1";
inline constexpr std::string_view description = "edit2";
inline constexpr std::string_view address = "edit3";
inline constexpr std::string_view category = "combo1";
inline constexpr std::string_view confirm = "button1";
}  // namespace submit_controls

// A proposal is worth sending when its title has 2 GBK bytes or its description 6.
bool submission_filled_in(std::string_view title, std::string_view description);

class SubmitWindow {
 public:
  explicit SubmitWindow(MemberContext context);
  ~SubmitWindow();
  SubmitWindow(const SubmitWindow&) = delete;
  SubmitWindow& operator=(const SubmitWindow&) = delete;

  static platform::forms::FormLayout layout();

  bool load(bool visible = true) { return form_->load(visible); }
  bool run_modal() { return form_->run_modal(); }
  platform::forms::Form& form() { return *form_; }

 private:
  void on_confirm_click();

  MemberContext context_;
  std::unique_ptr<platform::forms::Form> form_;
};

}  // namespace dialogs
