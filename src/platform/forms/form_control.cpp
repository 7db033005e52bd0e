// Standard controls on Qt widgets.
#include "form_control.h"

#include "qt_bridge.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

namespace platform::forms::detail {

namespace {

// Texts arrive with "\r\n" line breaks; widgets take "\n".
QString display_text(std::string_view gbk) {
  QString text = to_qstring(gbk);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  return text;
}

std::string crlf_text(const QString& shown) {
  QString text = shown;
  text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
  return to_gbk(text);
}

QWidget* make_link_button(const QString& caption, QWidget* parent) {
  auto* button = new QPushButton(caption, parent);
  button->setFlat(true);
  button->setCursor(Qt::PointingHandCursor);
  button->setStyleSheet(QStringLiteral(
      "QPushButton { color: #0645ad; text-decoration: underline; border: none; background: transparent;"
      " text-align: left; padding: 0px; }"
      "QPushButton:hover { color: #0b61d8; }"
      "QPushButton:disabled { color: #808080; }"));
  return button;
}

}  // namespace

FormControl::FormControl(const ControlLayout& layout, QWidget* parent, const FontSpec& dialog_font,
                         std::function<void()> on_click)
    : name_(layout.name), kind_(layout.kind), caption_(layout.text) {
  QWidget* widget = make_widget(layout, parent);
  widget_ = widget;
  widget->setFont(font_for(layout.font, dialog_font));
  widget->setGeometry(layout.x, layout.y, std::max(0, layout.width), std::max(0, layout.height));
  widget->setEnabled(layout.enabled);
  widget->setVisible(layout.visible);
  if (auto* button = qobject_cast<QPushButton*>(widget); button != nullptr && on_click) {
    // Queued: the handler may destroy the form, which must not happen inside the button's
    // own mouse handling.
    QObject::connect(button, &QPushButton::clicked, button, [on_click] { on_click(); }, Qt::QueuedConnection);
  }
}

QWidget* FormControl::make_widget(const ControlLayout& layout, QWidget* parent) {
  switch (layout.kind) {
    case ControlKind::label: {
      auto* label = new QLabel(display_text(layout.text), parent);
      label->setTextFormat(Qt::PlainText);  // never interpret a text as markup
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setWordWrap(true);
      return label;
    }
    case ControlKind::edit:
    case ControlKind::password_edit: {
      auto* edit = new QLineEdit(to_qstring(layout.text), parent);
      if (layout.kind == ControlKind::password_edit) edit->setEchoMode(QLineEdit::Password);
      return edit;
    }
    case ControlKind::push_button: return new QPushButton(display_text(layout.text), parent);
    case ControlKind::link_button: return make_link_button(display_text(layout.text), parent);
    case ControlKind::drop_down_list: {
      auto* list = new QComboBox(parent);
      for (const std::string& item : layout.items) list->addItem(to_qstring(item));
      list->setCurrentIndex(-1);
      return list;
    }
    case ControlKind::progress_bar: {
      auto* bar = new QProgressBar(parent);
      bar->setRange(0, 100);
      bar->setValue(0);
      bar->setTextVisible(false);
      return bar;
    }
    case ControlKind::text_box: {
      auto* box = new QPlainTextEdit(display_text(layout.text), parent);
      box->setReadOnly(true);
      box->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
      box->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
      return box;
    }
  }
  return new QLabel(parent);
}

bool FormControl::set_text(std::string_view gbk) {
  QWidget* widget = widget_.data();
  if (widget == nullptr) return false;
  if (auto* label = qobject_cast<QLabel*>(widget)) {
    caption_ = gbk;
    label->setText(display_text(gbk));
  } else if (auto* button = qobject_cast<QPushButton*>(widget)) {
    caption_ = gbk;
    button->setText(display_text(gbk));
  } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
    edit->setText(to_qstring(gbk));
  } else if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) {
    box->setPlainText(display_text(gbk));
  } else if (auto* list = qobject_cast<QComboBox*>(widget)) {
    const int index = list->findText(to_qstring(gbk), Qt::MatchExactly);
    if (index < 0) return false;
    list->setCurrentIndex(index);
  } else {
    return false;
  }
  return true;
}

bool FormControl::append_text(std::string_view gbk) {
  if (kind_ == ControlKind::drop_down_list || kind_ == ControlKind::progress_bar) return false;
  return set_text(text() + std::string(gbk));
}

std::string FormControl::text() const {
  QWidget* widget = widget_.data();
  if (widget == nullptr) return {};
  if (qobject_cast<QLabel*>(widget) != nullptr || qobject_cast<QPushButton*>(widget) != nullptr) return caption_;
  if (auto* edit = qobject_cast<QLineEdit*>(widget)) return to_gbk(edit->text());
  if (auto* box = qobject_cast<QPlainTextEdit*>(widget)) return crlf_text(box->toPlainText());
  if (auto* list = qobject_cast<QComboBox*>(widget)) return list->currentIndex() < 0 ? std::string() : to_gbk(list->currentText());
  return {};
}

bool FormControl::set_items(const std::vector<std::string>& gbk_items) {
  auto* list = qobject_cast<QComboBox*>(widget_.data());
  if (list == nullptr) return false;
  list->clear();
  for (const std::string& item : gbk_items) list->addItem(to_qstring(item));
  list->setCurrentIndex(-1);
  return true;
}

std::vector<std::string> FormControl::items() const {
  std::vector<std::string> result;
  if (auto* list = qobject_cast<QComboBox*>(widget_.data())) {
    for (int i = 0; i < list->count(); ++i) result.push_back(to_gbk(list->itemText(i)));
  }
  return result;
}

bool FormControl::select(int index) {
  auto* list = qobject_cast<QComboBox*>(widget_.data());
  if (list == nullptr || index < -1 || index >= list->count()) return false;
  list->setCurrentIndex(index);
  return true;
}

int FormControl::selected() const {
  auto* list = qobject_cast<QComboBox*>(widget_.data());
  return list == nullptr ? -1 : list->currentIndex();
}

bool FormControl::set_position(int position) {
  auto* bar = qobject_cast<QProgressBar*>(widget_.data());
  if (bar == nullptr) return false;
  bar->setValue(std::clamp(position, bar->minimum(), bar->maximum()));
  return true;
}

int FormControl::position() const {
  auto* bar = qobject_cast<QProgressBar*>(widget_.data());
  return bar == nullptr ? 0 : bar->value();
}

bool FormControl::set_visible(bool visible) {
  if (widget_.isNull()) return false;
  widget_->setVisible(visible);
  return true;
}

// The control's own visibility, also while the window itself is hidden.
bool FormControl::is_visible() const { return !widget_.isNull() && !widget_->isHidden(); }

bool FormControl::set_enabled(bool enabled) {
  if (widget_.isNull()) return false;
  widget_->setEnabled(enabled);
  return true;
}

bool FormControl::is_enabled() const {
  return !widget_.isNull() && widget_->isEnabledTo(widget_->parentWidget());
}

bool FormControl::move(ControlPlace place) {
  if (widget_.isNull()) return false;
  widget_->setGeometry(place.x, place.y, std::max(0, place.width), std::max(0, place.height));
  return true;
}

std::optional<ControlPlace> FormControl::place() const {
  if (widget_.isNull()) return std::nullopt;
  const QRect r = widget_->geometry();
  return ControlPlace{r.x(), r.y(), r.width(), r.height()};
}

bool FormControl::set_font(const FontSpec& font, const FontSpec& dialog_font) {
  if (widget_.isNull()) return false;
  widget_->setFont(font_for(font, dialog_font));
  return true;
}

}  // namespace platform::forms::detail
