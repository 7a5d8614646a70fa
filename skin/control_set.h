#pragma once
// The controls of a control table (skin/core/control_table.h), made in a parent window and
// owned here: created in table order, found by id, shown and hidden by page, and gathered into
// the radio groups the rows name. Captions are looked up in the skin's texts; pictures come from
// the window's SkinImageSet, so each file is loaded once per window (and must outlive the set).
// A window with several pages may have only one page's controls made at first and the others'
// later (MakePage), which keeps their windows and pictures out of its start.
#include <windows.h>

#include <cstdint>
#include <map>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "skin/bitmap_btn.h"
#include "skin/button_group.h"
#include "skin/clr_edit.h"
#include "skin/core/control_table.h"
#include "skin/d_marker.h"
#include "skin/list_box_ex.h"
#include "skin/png_slider_bar.h"
#include "skin/skin_image_set.h"
#include "skin/static_trans.h"
#include "win/window.h"

// A row's text: the skin text of its key (SkinText), or its fixed text.
std::wstring TextOf(const TextKey& key);
// The four faces of a button from the window's pictures, each decoded when first drawn.
ButtonFaces FacesOf(const FaceFiles& files, SkinImageSet& images);

class ControlSet {
 public:
  ControlSet() = default;
  ControlSet(const ControlSet&) = delete;
  ControlSet& operator=(const ControlSet&) = delete;
  ~ControlSet();

  // Creates every row's control in `parent` (controls of an earlier Create go first). A row
  // that fills the client area takes the parent's client rectangle. A control whose window
  // cannot be made stays in the set without one, so lookups never fail for a made row. With a
  // `firstPage`, only the rows shown on that page (or on every page) are made now; MakePage
  // makes the others.
  void Create(HWND parent, std::span<const ControlRow> rows, SkinImageSet& images,
              int firstPage = 0);
  // Makes the rows shown on `page` that are not made yet (at most `most` of them), in table
  // order; those not shown on the page shown now are made hidden. False when none was made.
  bool MakePage(int page, std::size_t most = SIZE_MAX);
  // The pages (PageBit) that have rows not made yet.
  std::uint32_t PagesToMake() const noexcept;
  // Whether row `id` has its control; false for an id the table does not have.
  bool Made(int id) const noexcept;
  // Destroys the controls, their windows first.
  void Destroy() noexcept;

  // The control of row `id`; std::out_of_range when the table has no such row of that kind or
  // it is not made yet.
  CBitmapBtn& Button(int id);
  CPngSliderBar& Slider(int id);
  CListBoxEx& ListBox(int id);
  CStaticTrans& Label(int id);
  CClrEdit& Edit(int id);
  CDMarker& Marker(int id);
  // Any control by id, null when the table has none or it is not made yet.
  Window* Find(int id) noexcept;
  const Window* Find(int id) const noexcept;
  const ControlRow* Row(int id) const noexcept;
  std::span<const ControlRow> Rows() const noexcept { return m_rows; }

  // The radio group of the made rows numbered `number`; empty when no such row is made.
  ButtonGroup& Group(int number);

  // Shows the controls of `page` and those on every page, hides the others.
  void ShowPage(int page);
  // For a parent painting `area` (client coordinates) into `dc` without clipping its children:
  // draws there each shown button that lies wholly in `area` and under no other child, and
  // takes its pending paint away. Each child's own paint costs a skinned window's first paint
  // about a millisecond under Wine, mostly in the system's paint set-up.
  void PaintButtonsWithin(HDC dc, HRGN area);

 private:
  Window& Control(int id, ControlKind kind);
  std::unique_ptr<Window> Make(const ControlRow& row, const RECT& place);
  // Makes the rows `wanted` accepts that are not made yet, at most `most`; false when none.
  template <typename Wanted>
  bool MakeRows(Wanted wanted, std::size_t most = SIZE_MAX);

  HWND m_parent = nullptr;
  SkinImageSet* m_images = nullptr;
  std::span<const ControlRow> m_rows;
  // One per row, in table order; null while the row is not made.
  std::vector<std::unique_ptr<Window>> m_controls;
  std::map<int, ButtonGroup> m_groups;
  int m_shownPage = 0;  // 0 until ShowPage: every made control visible
};
