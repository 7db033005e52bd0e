#include "client/main_content.h"

#include "dui/core/drawing.h"
#include "quenbo_resources.h"

#include <span>

namespace client {
namespace {

constexpr const char* kFont = "微软雅黑";
constexpr int kTickerStart = 512;
constexpr int kTickerEnd = -512;

std::unique_ptr<MainObjects>& objects_slot() {
  static std::unique_ptr<MainObjects> objects;
  return objects;
}

struct ButtonLayout {
  int left, top, width, height;
  const char* caption;
  std::span<const unsigned char> (*picture)();
  bool visible;
};

// In main_buttons order; the category buttons stand left to right as 编程源码, 软件工具, 活动线报,
// 精品资源, then 个人中心.
const std::array<ButtonLayout, 7>& button_layouts() {
  static const std::array<ButtonLayout, 7> layouts = {{
      {213, 32, 55, 75, "精品资源", resources::button_featured_png, true},
      {15, 32, 55, 75, "编程源码", resources::button_source_code_png, true},
      {81, 32, 55, 75, "软件工具", resources::button_software_tools_png, true},
      {147, 32, 55, 75, "活动线报", resources::button_offers_png, true},
      {279, 32, 55, 75, "个人中心", resources::button_member_png, true},
      {25, 365, 100, 30, "转账", resources::button_transfer_png, false},
      {140, 365, 100, 30, "投稿", resources::button_submit_png, false},
  }};
  return layouts;
}

std::function<void()> button_routine(int index, const ContentRoutines& routines) {
  auto category = [&routines](sql::Category c) {
    return [load = routines.load_category, c] { if (load) load(c); };
  };
  switch (index) {
    case button_index::featured: return category(sql::Category::featured);
    case button_index::source_code: return category(sql::Category::source_code);
    case button_index::software_tools: return category(sql::Category::software_tools);
    case button_index::offers: return category(sql::Category::offers);
    case button_index::member: return routines.show_member_panel;
    case button_index::transfer: return routines.open_transfer_window;
    default: return routines.open_submit_window;
  }
}

void create_list(dui::Ex_ListView& list, dui::WindowHandle window, const ContentRoutines& routines) {
  dui::ListViewOptions options;
  options.view = 0;
  options.grid_lines = 1;
  options.selected_background = dui::to_argb(0x00FF00, 255);
  options.font_family = kFont;
  list.create(window, 15, 150, 465, 255, options);
  list.alpha(230);
  const std::pair<const char*, int> columns[] = {
      {"发布者ID", 100}, {"标题", 130}, {"更新时间", 70}, {"说明", 350}, {"地址", 0}};
  for (const auto& [text, width] : columns) list.insert_column(std::nullopt, text, width, 0);
  list.bind_event(515, [routine = routines.list_double_click](dui::Ex_Control*, int, dui::WParam, dui::LParam) {
    if (routine) routine();
  });
}

void create_button(dui::Ex_ImageButton& button, int index, dui::WindowHandle window,
                   const ContentRoutines& routines) {
  const ButtonLayout& layout = button_layouts()[static_cast<std::size_t>(index)];
  dui::TextControlOptions options;
  options.text = layout.caption;
  options.font_name = kFont;
  if (!layout.visible) options.visible = 0;
  button.create(window, layout.left, layout.top, layout.width, layout.height, options);
  const std::span<const unsigned char> picture = layout.picture();
  button.image(std::string(reinterpret_cast<const char*>(picture.data()), picture.size()));
  button.image_position(index <= button_index::member ? 2 : 0);
  button.image_gap(5);
  button.bind_event(10244, [routine = button_routine(index, routines)](dui::Ex_Control*, int, dui::WParam, dui::LParam) {
    if (routine) routine();
  });
}

void create_label(dui::Ex_Label& label, dui::WindowHandle window, int left, int top, int width,
                  const char* text, bool visible, std::optional<dui::Argb> colour = std::nullopt) {
  dui::LabelOptions options;
  options.text = text;
  options.font_name = kFont;
  options.text_colour = colour;
  options.visible = visible ? 1 : 0;
  label.create(window, left, top, width, 25, options);
}

}  // namespace

void construct_program_objects() { objects_slot() = std::make_unique<MainObjects>(); }

void destroy_program_objects() { objects_slot().reset(); }

MainObjects& main_objects() { return *objects_slot(); }

void build_main_content(MainObjects& objects, dui::WindowHandle window, const ContentRoutines& routines) {
  create_list(objects.resource_list, window, routines);
  for (int index = 0; index < static_cast<int>(button_layouts().size()); ++index) {
    create_button(objects.main_buttons[static_cast<std::size_t>(index)], index, window, routines);
  }
  auto& labels = objects.main_labels;
  create_label(labels[label_index::coins], window, 20, 145, 150, "获取失败", false);
  create_label(labels[label_index::submissions], window, 20, 175, 150, "获取失败", false);
  create_label(labels[label_index::receipt], window, 32, 205, 512, "获取失败", false);
  create_label(labels[label_index::hint], window, 15, 120, 300,
               "温馨提示：选择一个资源，鼠标双击即可进入选项！", true, dui::to_argb(0xFF0000, 255));
}

void create_announcement(MainObjects& objects, dui::WindowHandle window, const std::string& announcement) {
  dui::LabelOptions options;
  options.text = "公告：" + announcement;
  options.font_name = kFont;
  objects.main_labels[label_index::announcement].create(window, 5, 408, 512, 25, options);
}

void ticker_step(dui::Ex_Label& announcement) {
  const int x = announcement.left();
  announcement.left(x - 1);
  if (announcement.left() == kTickerEnd) announcement.left(kTickerStart);
}

BrowserScreens browser_screens(MainObjects& objects) {
  BrowserScreens screens;
  screens.resource_list = &objects.resource_list;
  screens.hint_line = &objects.main_labels[label_index::hint];
  screens.member_panel = {&objects.main_buttons[button_index::transfer],
                          &objects.main_buttons[button_index::submit],
                          &objects.main_labels[label_index::coins],
                          &objects.main_labels[label_index::submissions],
                          &objects.main_labels[label_index::receipt]};
  return screens;
}

}  // namespace client
