// The two commands of the resource list's menu: open the selected resource's address in the
// browser (charging the reader one coin for another member's resource) and copy the address.
// User-interface thread; they read and write the program state.
#pragma once

#include "dui/controls/list_view.h"

#include <string_view>

namespace client {

// The official account: its resources are free.
inline constexpr std::string_view official_account = "quenbo";

// True for web addresses the browser may be given: http, https or ftp (scheme in any case)
// followed by a host, without blanks or control characters.
bool is_web_address(std::string_view address);

// "打开": opens the selected row's address. Another member's resource costs the reader one coin,
// which moves to the publisher in one transaction together with the reader's receipt.
void open_resource(dui::Ex_ListView& list);

// "复制地址": puts the selected row's address on the clipboard.
void copy_resource_address(dui::Ex_ListView& list);

}  // namespace client
