#include "skin/control_set.h"

#include <algorithm>
#include <optional>
#include <stdexcept>
#include <type_traits>
#include <utility>

#include "settings/skin_texts.h"
#include "skin/png_h_slider_bar.h"
#include "win/text.h"

namespace {

RECT ToRect(const TableRect& rect) {
  return RECT{rect.left, rect.top, rect.right, rect.bottom};
}

const char* KindName(ControlKind kind) {
  switch (kind) {
    case ControlKind::kButton:
      return "button";
    case ControlKind::kSlider:
      return "slider";
    case ControlKind::kListBox:
      return "list box";
    case ControlKind::kLabel:
      return "label";
    case ControlKind::kEdit:
      return "edit";
    case ControlKind::kMarker:
      return "marker";
  }
  return "control";
}

}  // namespace

std::wstring TextOf(const TextKey& key) {
  if (key.fixed != nullptr) return AsWide(key.fixed);
  if (key.section == nullptr) return {};
  return ToWide(SkinText(key.section, key.number));
}

ButtonFaces FacesOf(const FaceFiles& files, SkinImageSet& images) {
  return {{images, files.normal},
          {images, files.hover},
          {images, files.pressed},
          {images, files.disabled}};
}

ControlSet::~ControlSet() {
  Destroy();
}

void ControlSet::Destroy() noexcept {
  m_groups.clear();
  // Later rows may sit over earlier ones: they go first.
  while (!m_controls.empty()) m_controls.pop_back();
  m_rows = {};
  m_parent = nullptr;
  m_images = nullptr;
  m_shownPage = 0;
}

void ControlSet::Create(HWND parent, std::span<const ControlRow> rows, SkinImageSet& images,
                        int firstPage) {
  Destroy();
  m_parent = parent;
  m_images = &images;
  m_rows = rows;
  m_controls.resize(rows.size());
  MakeRows(
      [firstPage](const ControlRow& row) { return firstPage == 0 || row.ShownOnPage(firstPage); });
}

bool ControlSet::MakePage(int page, std::size_t most) {
  return MakeRows([page](const ControlRow& row) { return row.pages != 0 && row.ShownOnPage(page); },
                  most);
}

template <typename Wanted>
bool ControlSet::MakeRows(Wanted wanted, std::size_t most) {
  if (m_parent == nullptr) return false;
  RECT client{};
  ::GetClientRect(m_parent, &client);
  std::size_t count = 0;
  for (size_t i = 0; i < m_rows.size() && count < most; ++i) {
    const ControlRow& row = m_rows[i];
    if (m_controls[i] != nullptr || !wanted(row)) continue;
    // A row off the page shown is made hidden: a visible control can paint as it is made.
    std::optional<Window::HiddenChildren> hidden;
    if (m_shownPage != 0 && !row.ShownOnPage(m_shownPage)) hidden.emplace(m_parent);
    std::unique_ptr<Window> control = Make(row, row.fillsClient ? client : ToRect(row.place));
    hidden.reset();
    if (control->Hwnd() != nullptr && row.disabled) ::EnableWindow(control->Hwnd(), FALSE);
    m_controls[i] = std::move(control);
    ++count;
  }
  if (count == 0) return false;
  // The groups in table order, whichever rows came first.
  m_groups.clear();
  for (size_t i = 0; i < m_rows.size(); ++i) {
    const ControlRow& row = m_rows[i];
    if (m_controls[i] != nullptr && row.group != 0 && row.Kind() == ControlKind::kButton) {
      m_groups[row.group].Add(static_cast<CBitmapBtn&>(*m_controls[i]), row.id);
    }
  }
  return true;
}

std::uint32_t ControlSet::PagesToMake() const noexcept {
  std::uint32_t pages = 0;
  for (size_t i = 0; i < m_controls.size(); ++i) {
    if (m_controls[i] == nullptr) pages |= m_rows[i].pages;
  }
  return pages;
}

bool ControlSet::Made(int id) const noexcept {
  for (size_t i = 0; i < m_controls.size(); ++i) {
    if (m_rows[i].id == id) return m_controls[i] != nullptr;
  }
  return false;
}

std::unique_ptr<Window> ControlSet::Make(const ControlRow& row, const RECT& place) {
  const HWND parent = m_parent;
  SkinImageSet& images = *m_images;
  return std::visit(
      [&](const auto& style) -> std::unique_ptr<Window> {
        using Style = std::decay_t<decltype(style)>;
        if constexpr (std::is_same_v<Style, ButtonStyle>) {
          auto button = std::make_unique<CBitmapBtn>();
          button->Create(parent, row.id, place,
                         {FacesOf(style.faces, images), style.look, TextOf(row.text)});
          if (row.ticked) button->SetTicked(true);
          return button;
        } else if constexpr (std::is_same_v<Style, SliderStyle>) {
          std::unique_ptr<CPngSliderBar> slider;
          if (style.axis == SliderAxis::kHorizontal) {
            slider = std::make_unique<CPngHSliderBar>();
          } else {
            slider = std::make_unique<CPngSliderBar>();
          }
          slider->Create(parent, row.id, place,
                         {images.Image(style.thumb), images.Image(style.disabledThumb),
                          images.Image(style.track), style.minimum, style.maximum});
          return slider;
        } else if constexpr (std::is_same_v<Style, ListLook>) {
          auto list = std::make_unique<CListBoxEx>();
          list->Create(parent, row.id, place, {style, parent});
          return list;
        } else if constexpr (std::is_same_v<Style, LabelLook>) {
          auto label = std::make_unique<CStaticTrans>();
          label->Create(parent, row.id, place, {style, TextOf(row.text)});
          return label;
        } else if constexpr (std::is_same_v<Style, EditLook>) {
          auto edit = std::make_unique<CClrEdit>();
          edit->Create(parent, row.id, place, {style, TextOf(row.text)});
          return edit;
        } else {
          static_assert(std::is_same_v<Style, MarkerStyle>);
          auto marker = std::make_unique<CDMarker>();
          marker->Create(parent, row.id, place,
                         {images.Picture(style.background), images.Picture(style.fill),
                          ToRect(style.source), style.minimum, style.maximum});
          return marker;
        }
      },
      row.style);
}

Window& ControlSet::Control(int id, ControlKind kind) {
  for (size_t i = 0; i < m_controls.size(); ++i) {
    if (m_rows[i].id == id && m_rows[i].Kind() == kind && m_controls[i] != nullptr) {
      return *m_controls[i];
    }
  }
  throw std::out_of_range(std::string("no ") + KindName(kind) + " " + std::to_string(id) +
                          " is made from the table");
}

CBitmapBtn& ControlSet::Button(int id) {
  return static_cast<CBitmapBtn&>(Control(id, ControlKind::kButton));
}

CPngSliderBar& ControlSet::Slider(int id) {
  return static_cast<CPngSliderBar&>(Control(id, ControlKind::kSlider));
}

CListBoxEx& ControlSet::ListBox(int id) {
  return static_cast<CListBoxEx&>(Control(id, ControlKind::kListBox));
}

CStaticTrans& ControlSet::Label(int id) {
  return static_cast<CStaticTrans&>(Control(id, ControlKind::kLabel));
}

CClrEdit& ControlSet::Edit(int id) {
  return static_cast<CClrEdit&>(Control(id, ControlKind::kEdit));
}

CDMarker& ControlSet::Marker(int id) {
  return static_cast<CDMarker&>(Control(id, ControlKind::kMarker));
}

Window* ControlSet::Find(int id) noexcept {
  return const_cast<Window*>(static_cast<const ControlSet&>(*this).Find(id));
}

const Window* ControlSet::Find(int id) const noexcept {
  for (size_t i = 0; i < m_controls.size(); ++i) {
    if (m_rows[i].id == id) return m_controls[i].get();
  }
  return nullptr;
}

const ControlRow* ControlSet::Row(int id) const noexcept {
  for (const ControlRow& row : m_rows) {
    if (row.id == id) return &row;
  }
  return nullptr;
}

ButtonGroup& ControlSet::Group(int number) {
  return m_groups[number];
}

void ControlSet::ShowPage(int page) {
  m_shownPage = page;
  for (size_t i = 0; i < m_controls.size(); ++i) {
    const ControlRow& row = m_rows[i];
    if (row.pages == 0 || m_controls[i] == nullptr || m_controls[i]->Hwnd() == nullptr) continue;
    const HWND control = m_controls[i]->Hwnd();
    const bool shown = row.ShownOnPage(page);
    // Under Wine even a ShowWindow that changes nothing costs a round trip to the server.
    const bool visible = (::GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown != visible) ::ShowWindow(control, shown ? SW_SHOWNA : SW_HIDE);
  }
}

namespace {

// A child's rectangle in its parent's client coordinates.
RECT PlaceInParent(HWND child, HWND parent) {
  RECT rect{};
  ::GetWindowRect(child, &rect);
  ::MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

bool RegionHoldsRect(HRGN region, const RECT& rect) {
  UniqueRegion outside(::CreateRectRgnIndirect(&rect));
  return outside && ::CombineRgn(outside.get(), outside.get(), region, RGN_DIFF) == NULLREGION;
}

}  // namespace

void ControlSet::PaintButtonsWithin(HDC dc, HRGN area) {
  if (m_parent == nullptr || dc == nullptr || area == nullptr) return;
  std::vector<HWND> shown;
  for (HWND child = ::GetWindow(m_parent, GW_CHILD); child != nullptr;
       child = ::GetWindow(child, GW_HWNDNEXT)) {
    if ((::GetWindowLongPtrW(child, GWL_STYLE) & WS_VISIBLE) != 0) shown.push_back(child);
  }
  std::vector<RECT> places;
  places.reserve(shown.size());
  for (HWND child : shown) places.push_back(PlaceInParent(child, m_parent));
  for (size_t i = 0; i < m_controls.size(); ++i) {
    if (m_controls[i] == nullptr || m_rows[i].Kind() != ControlKind::kButton) continue;
    auto& button = static_cast<CBitmapBtn&>(*m_controls[i]);
    const auto self = std::find(shown.begin(), shown.end(), button.Hwnd());
    if (self == shown.end()) continue;
    const RECT& place = places[static_cast<size_t>(self - shown.begin())];
    // Where children overlap, the order of their own paints decides what shows: left to them.
    bool covered = false;
    for (size_t k = 0; k < places.size() && !covered; ++k) {
      RECT overlap{};
      covered = shown[k] != button.Hwnd() && ::IntersectRect(&overlap, &place, &places[k]);
    }
    if (covered || !RegionHoldsRect(area, place)) continue;
    button.DrawInParent(dc, place.left, place.top);
    ::ValidateRect(button.Hwnd(), nullptr);
  }
}
