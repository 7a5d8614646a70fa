#include "skin/core/control_table.h"

#include <algorithm>
#include <map>
#include <set>

namespace {

std::string RowName(const ControlRow& row) {
  return "control " + std::to_string(row.id);
}

}  // namespace

std::vector<std::string> LayoutProblems(const WindowLayout& layout) {
  std::vector<std::string> problems;
  std::set<int> ids;
  std::map<int, int> groupSizes;
  for (const ControlRow& row : layout.controls) {
    if (row.id <= 0) problems.push_back(RowName(row) + ": the id is not positive");
    if (!ids.insert(row.id).second) problems.push_back(RowName(row) + ": the id is used twice");
    if (!row.fillsClient) {
      if (row.place.Empty()) problems.push_back(RowName(row) + ": the place is empty");
      if (layout.width > 0 && layout.height > 0 &&
          (row.place.left < 0 || row.place.top < 0 || row.place.right > layout.width ||
           row.place.bottom > layout.height)) {
        problems.push_back(RowName(row) + ": the place lies outside the window");
      }
    }
    if (row.group != 0) {
      ++groupSizes[row.group];
      if (row.Kind() != ControlKind::kButton) {
        problems.push_back(RowName(row) + ": only buttons form radio groups");
      }
    }
    if (const auto* slider = std::get_if<SliderStyle>(&row.style)) {
      if (slider->maximum < slider->minimum) {
        problems.push_back(RowName(row) + ": the slider's range runs backwards");
      }
    }
  }
  for (const auto& [group, size] : groupSizes) {
    if (size < 2) problems.push_back("group " + std::to_string(group) + ": a single button");
  }
  return problems;
}

std::vector<ImageFile> FirstPaintImages(std::span<const ControlRow> rows, int firstPage) {
  std::vector<ImageFile> sliders, faces;
  const auto add = [&](std::vector<ImageFile>& list, const ImageFile& file) {
    if (file.Empty() || file.turn != ImageTurn::kNone) return;
    const auto same = [&](const ImageFile& known) { return known.SameFile(file); };
    if (std::none_of(sliders.begin(), sliders.end(), same) &&
        std::none_of(faces.begin(), faces.end(), same)) {
      list.push_back(file);
    }
  };
  for (const ControlRow& row : rows) {
    if (firstPage != 0 && !row.ShownOnPage(firstPage)) continue;
    if (const auto* slider = std::get_if<SliderStyle>(&row.style)) {
      add(sliders, slider->thumb);
      add(sliders, slider->disabledThumb);
      add(sliders, slider->track);
    } else if (const auto* button = std::get_if<ButtonStyle>(&row.style)) {
      add(faces, button->faces.normal);
      if (row.disabled) add(faces, button->faces.disabled);
      if (row.ticked || row.group != 0) add(faces, button->faces.pressed);
    }
  }
  sliders.insert(sliders.end(), faces.begin(), faces.end());
  return sliders;
}
