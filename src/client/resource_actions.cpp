#include "client/resource_actions.h"

#include "client/main_messages.h"
#include "client/program_state.h"
#include "client/statements.h"
#include "platform/services.h"

#include <array>
#include <cctype>

namespace client {
namespace {

constexpr int kPublisherColumn = 1;
constexpr int kAddressColumn = 5;

bool starts_with_ignoring_case(std::string_view text, std::string_view prefix) {
  if (text.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

// The balance column of an account's row; false when the row could not be read.
bool read_balance(Connection* connection, std::string_view account, std::string& balance) {
  if (!db_execute(connection, sql::account_select(connection, account))) return false;
  RecordSetPtr row = db_get_record_set(connection);
  return db_read_field(row.get(), "Quenbo币", balance);
}

void open_address(std::string_view address) {
  program_state().last_opened_address = address;
  platform::services::open_address(address);
}

// Moves one coin from the reader to the publisher and leaves the reader the receipt, all or
// nothing. The reader's balance is read again inside the transaction so that concurrent opens
// and transfers neither create nor lose a coin. False when nothing was charged.
bool charge_reader(Connection* connection, std::string_view reader, std::string_view publisher) {
  return db_transaction(connection, [&] {
    std::string reader_balance, publisher_balance;
    if (!read_balance(connection, reader, reader_balance)) return TransactionEnd::roll_back;
    const std::int64_t coins = text_to_int(reader_balance);
    if (coins < 1) return TransactionEnd::roll_back;
    if (!read_balance(connection, publisher, publisher_balance)) return TransactionEnd::roll_back;
    program_state().reader_balance = reader_balance;
    const bool written =
        sql::db_update(connection, sql::balance_update(connection, reader, coins - 1)) &&
        sql::db_update(connection, sql::balance_update(connection, publisher,
                                                       text_to_int(publisher_balance) + 1)) &&
        sql::db_update(connection, sql::open_receipt_update(connection, reader, publisher));
    return written ? TransactionEnd::commit : TransactionEnd::roll_back;
  });
}

}  // namespace

bool is_web_address(std::string_view address) {
  static constexpr std::array<std::string_view, 3> kSchemes = {"http://", "https://", "ftp://"};
  for (char c : address) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F) return false;
  }
  for (std::string_view scheme : kSchemes) {
    if (starts_with_ignoring_case(address, scheme)) {
      const std::string_view rest = address.substr(scheme.size());
      return !rest.empty() && rest.front() != '/';
    }
  }
  return false;
}

void open_resource(dui::Ex_ListView& list) {
  const int row = list.selected_row();
  if (row == 0) {
    tell_in_main_window("请选择要打开的资源项目");
    return;
  }
  const std::string publisher = list.get_cell_text(row, kPublisherColumn);
  const std::string address = list.get_cell_text(row, kAddressColumn);
  if (!is_web_address(address)) {
    tell_in_main_window("该资源地址不是网页地址，已阻止打开");
    return;
  }
  if (publisher == official_account) {
    open_address(address);
    return;
  }

  ProgramState& state = program_state();
  Connection* connection = state.main_connection.get();
  read_balance(connection, state.current_account, state.reader_balance);
  if (publisher == state.current_account) {
    open_address(address);
    return;
  }
  if (text_to_int(state.reader_balance) < 1) {
    tell_in_main_window("您的Quenbo币不足，无法打开该资源");
    return;
  }
  open_address(address);
  charge_reader(connection, state.current_account, publisher);
}

void copy_resource_address(dui::Ex_ListView& list) {
  const std::string address = list.get_cell_text(list.selected_row(), kAddressColumn);
  platform::services::set_clipboard_text(address);
  tell_in_main_window("复制地址成功");
}

}  // namespace client
