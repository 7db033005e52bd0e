// One standard control of a form: the Qt widget of its kind and the operations the program
// performs on it. UI thread only.
#pragma once

#include "platform/forms.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <string>
#include <vector>

namespace platform::forms::detail {

class FormControl {
 public:
  // Creates the widget on `parent` from the layout. `on_click` runs (queued, from the event
  // loop) when a user clicks a button.
  FormControl(const ControlLayout& layout, QWidget* parent, const FontSpec& dialog_font,
              std::function<void()> on_click);

  const std::string& name() const { return name_; }
  ControlKind kind() const { return kind_; }
  bool alive() const { return !widget_.isNull(); }
  bool is_button() const { return kind_ == ControlKind::push_button || kind_ == ControlKind::link_button; }

  bool set_text(std::string_view gbk);
  bool append_text(std::string_view gbk);
  std::string text() const;
  bool set_items(const std::vector<std::string>& gbk_items);
  std::vector<std::string> items() const;
  bool select(int index);
  int selected() const;
  bool set_position(int position);
  int position() const;
  bool set_visible(bool visible);
  bool is_visible() const;
  bool set_enabled(bool enabled);
  bool is_enabled() const;
  bool move(ControlPlace place);
  std::optional<ControlPlace> place() const;
  bool set_font(const FontSpec& font, const FontSpec& dialog_font);

 private:
  QWidget* make_widget(const ControlLayout& layout, QWidget* parent);

  std::string name_;
  ControlKind kind_;
  // Labels and buttons answer their caption exactly as set (the widget shows it converted).
  std::string caption_;
  QPointer<QWidget> widget_;
};

}  // namespace platform::forms::detail
