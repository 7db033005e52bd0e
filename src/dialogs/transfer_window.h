// The transfer window: the logged-in member sends coins to another member. The window stays
// open after a transfer, so a second click makes a second one.
#pragma once

#include "dialogs/account_session.h"
#include "dialogs/coin_transfer.h"
#include "platform/forms.h"

#include <memory>
#include <string>
#include <string_view>

namespace dialogs {

// Control names of the window's form.
namespace transfer_controls {
inline constexpr std::string_view recipient = "edit1";
inline constexpr std::string_view amount = "edit2";
inline constexpr std::string_view confirm = "button1";
}  // namespace transfer_controls

class TransferWindow {
 public:
  explicit TransferWindow(MemberContext context);
  ~TransferWindow();
  TransferWindow(const TransferWindow&) = delete;
  TransferWindow& operator=(const TransferWindow&) = delete;

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
