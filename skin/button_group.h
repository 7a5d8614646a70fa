#pragma once
// A radio group of image buttons (tabs, profile buttons, polling buttons): exactly the selected
// one shows its ticked face. The window selects; the buttons stay in push mode.
//
//   m_tabs.Select(page - 1);
//   const int profile = m_profiles.IndexOf(id);   // which button of the group was pressed
#include <vector>

class CBitmapBtn;

class ButtonGroup {
 public:
  // In the order the group counts them.
  void Add(CBitmapBtn& button, int id);
  void Clear() noexcept { m_buttons.clear(); }

  // Ticks button `index` and unticks the others; an index outside the group unticks all.
  void Select(int index);
  // The same by control id; false (and nothing changes) when the id is not in the group.
  bool SelectId(int id);
  // The ticked button's index, -1 when none is.
  int Selected() const noexcept;
  // The index of the button with this control id, -1 when it is not in the group.
  int IndexOf(int id) const noexcept;
  int IdAt(int index) const noexcept;
  int Size() const noexcept { return static_cast<int>(m_buttons.size()); }

 private:
  struct Member {
    CBitmapBtn* button;
    int id;
  };
  std::vector<Member> m_buttons;
};
