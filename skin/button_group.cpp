#include "skin/button_group.h"

#include "skin/bitmap_btn.h"

void ButtonGroup::Add(CBitmapBtn& button, int id) {
  m_buttons.push_back({&button, id});
}

void ButtonGroup::Select(int index) {
  for (int i = 0; i < Size(); ++i) m_buttons[static_cast<size_t>(i)].button->SetTicked(i == index);
}

bool ButtonGroup::SelectId(int id) {
  const int index = IndexOf(id);
  if (index < 0) return false;
  Select(index);
  return true;
}

int ButtonGroup::Selected() const noexcept {
  for (int i = 0; i < Size(); ++i) {
    if (m_buttons[static_cast<size_t>(i)].button->IsTicked()) return i;
  }
  return -1;
}

int ButtonGroup::IndexOf(int id) const noexcept {
  for (int i = 0; i < Size(); ++i) {
    if (m_buttons[static_cast<size_t>(i)].id == id) return i;
  }
  return -1;
}

int ButtonGroup::IdAt(int index) const noexcept {
  return index >= 0 && index < Size() ? m_buttons[static_cast<size_t>(index)].id : 0;
}
