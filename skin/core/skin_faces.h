#pragma once
// The skin's button face families, in the order a button takes its faces (normal, hover,
// pressed or ticked, disabled). OK-style buttons (ok, min, close, ButtonAssign) show "-3" under
// the pointer and "-2" pressed; tab-like buttons (tabbutton, ProfileButton) show "-2" under the
// pointer and "-3" ticked.
#include "skin/core/control_table.h"

inline constexpr FaceFiles kOkFaces{{SkinFolder::kButtons, u"ok-1.png"},
                                    {SkinFolder::kButtons, u"ok-3.png"},
                                    {SkinFolder::kButtons, u"ok-2.png"},
                                    {SkinFolder::kButtons, u"ok-1.png"}};
inline constexpr FaceFiles kMinimiseFaces{{SkinFolder::kButtons, u"min-1.png"},
                                          {SkinFolder::kButtons, u"min-3.png"},
                                          {SkinFolder::kButtons, u"min-2.png"},
                                          {SkinFolder::kButtons, u"min-1.png"}};
inline constexpr FaceFiles kCloseFaces{{SkinFolder::kButtons, u"close-1.png"},
                                       {SkinFolder::kButtons, u"close-3.png"},
                                       {SkinFolder::kButtons, u"close-2.png"},
                                       {SkinFolder::kButtons, u"close-1.png"}};
// Its disabled face is the red one.
inline constexpr FaceFiles kAssignFaces{{SkinFolder::kButtons, u"ButtonAssign-1.png"},
                                        {SkinFolder::kButtons, u"ButtonAssign-3.png"},
                                        {SkinFolder::kButtons, u"ButtonAssign-2.png"},
                                        {SkinFolder::kButtons, u"RedButton-1.png"}};
inline constexpr FaceFiles kTabFaces{{SkinFolder::kButtons, u"tabbutton-1.png"},
                                     {SkinFolder::kButtons, u"tabbutton-2.png"},
                                     {SkinFolder::kButtons, u"tabbutton-3.png"},
                                     {SkinFolder::kButtons, u"tabbutton-1.png"}};
inline constexpr FaceFiles kProfileFaces{{SkinFolder::kButtons, u"ProfileButton-1.png"},
                                         {SkinFolder::kButtons, u"ProfileButton-2.png"},
                                         {SkinFolder::kButtons, u"ProfileButton-3.png"},
                                         {SkinFolder::kButtons, u"ProfileButton-1.png"}};
inline constexpr FaceFiles kCheckBoxFaces{{SkinFolder::kControls, u"checkbox1-1.png"},
                                          {SkinFolder::kControls, u"checkbox1-1.png"},
                                          {SkinFolder::kControls, u"checkbox1-2.png"},
                                          {SkinFolder::kControls, u"checkbox1-1.png"}};
inline constexpr FaceFiles kStageFaces{{SkinFolder::kBackground, u"DPI-1.png"},
                                       {SkinFolder::kBackground, u"DPI-1.png"},
                                       {SkinFolder::kBackground, u"DPI-2.png"},
                                       {SkinFolder::kBackground, u"DPI-1.png"}};
inline constexpr FaceFiles kRecordFaces{{SkinFolder::kButtons, u"iconstart1.png"},
                                        {SkinFolder::kButtons, u"iconstart2.png"},
                                        {SkinFolder::kButtons, u"iconstart2.png"},
                                        {SkinFolder::kButtons, u"iconstart2.png"}};
inline constexpr FaceFiles kStopFaces{{SkinFolder::kButtons, u"iconstop1.png"},
                                      {SkinFolder::kButtons, u"iconstop2.png"},
                                      {SkinFolder::kButtons, u"iconstop2.png"},
                                      {SkinFolder::kButtons, u"iconstop1.png"}};

// Captions as most windows show them: centred in the whole button, white, bold or regular.
inline constexpr ButtonLook kBoldCaption{.font = {15, 700}};
inline constexpr ButtonLook kRegularCaption{.font = {15, 400}};
// Check boxes: the caption centred on the button, 9 pixels to the right of the middle.
inline constexpr ButtonLook kCheckBoxCaption{
    .caption = CaptionLayout::kPoint, .pointOffset = 9, .font = {15, 400}};
