// A dialog with every kind of standard control, to look at on a real display:
//   forms_sample [--seconds N] [--message-box] [--menu]
// It closes itself after N seconds (default 30); --message-box and --menu also pop those up.
#include "platform/application.h"
#include "platform/forms.h"
#include "platform/text.h"
#include "platform/window.h"

#include <cstdlib>
#include <string>
#include <string_view>

namespace forms = platform::forms;
using forms::ControlKind;

namespace {

std::string g(std::string_view utf8) { return platform::text::utf8_to_gbk(utf8); }

forms::FormLayout sample_layout() {
  const forms::FontSpec yahei{g("微软雅黑"), -12};
  forms::FormLayout layout;
  layout.x = 40;
  layout.y = 40;
  layout.width = 380;
  layout.height = 330;
  layout.caption = g("Quenbo社区-控件示例");
  layout.controls = {
      {"label1", ControlKind::label, 16, 16, 40, 24, g("标题："), {}, yahei},
      {"edit1", ControlKind::edit, 64, 16, 184, 24, g("分享一个好用的工具")},
      {"label2", ControlKind::label, 16, 48, 40, 24, g("密码："), {}, yahei},
      {"edit2", ControlKind::password_edit, 64, 48, 184, 24, "secret1"},
      {"combo1", ControlKind::drop_down_list, 264, 16, 96, 24, "",
       {g("编程源码"), g("软件辅助"), g("活动线报"), g("精品资源")}},
      {"button1", ControlKind::push_button, 264, 48, 96, 24, g("确定"), {}, yahei},
      {"link1", ControlKind::link_button, 16, 84, 48, 16, g("注册")},
      {"notes", ControlKind::text_box, 16, 108, 344, 96, "*"},
      {"status", ControlKind::label, 16, 212, 344, 16, g("Quenbo资源社区1.8.exe  已更新60%")},
      {"progress1", ControlKind::progress_bar, 16, 234, 344, 20},
      {"label3", ControlKind::label, 16, 264, 344, 16, g("警告：恶意投稿将永久封杀，软件接入Tallyx分析系统，可记录IP地址"), {}, yahei},
  };
  layout.timers = {{"close", 0}, {"popups", 0}};
  layout.menus = {{g("操作"), {{1, g("打开")}, {2, g("复制地址")}}}};
  return layout;
}

}  // namespace

int main(int argc, char** argv) {
  platform::application::init(argc, argv);
  unsigned seconds = 30;
  bool message_box = false;
  bool menu = false;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--seconds" && i + 1 < argc) seconds = static_cast<unsigned>(std::atoi(argv[++i]));
    if (arg == "--message-box") message_box = true;
    if (arg == "--menu") menu = true;
  }
  forms::Form form(sample_layout());
  form.on_create([&] {
    form.append_text("notes", g("1.8 更新内容：\r\n- 修复了列表刷新的问题\r\n- 新增资源分类"));
    form.select("combo1", 1);
    form.set_position("progress1", 60);
    form.set_timer_interval("close", seconds * 1000);
    if (message_box || menu) form.set_timer_interval("popups", 1500);
  });
  form.on_timer("close", [&] { form.destroy(); });
  form.on_timer("popups", [&] {
    form.set_timer_interval("popups", 0);
    if (menu) form.popup_menu(g("操作"));
    if (message_box) forms::message_box(g("投稿成功，进入官方审核\r\n审核时间为12小时内！"), g("信息："),
                                        forms::MessageIcon::information);
  });
  form.on_destroy([] { platform::window::post_quit(0); });
  if (!form.load()) return 1;
  return platform::window::run();
}
