#pragma once
// Arithmetic of the fill bar: how much of the fill image a position shows, and which position
// a pointer x gives. Divisions truncate towards zero; an empty range shows the minimum.

// Position shown for `value`: the value itself inside [minimum, maximum], otherwise the minimum.
int MarkerPositionInRange(int value, int minimum, int maximum);

// Width in pixels of the filled part of a bar from `left` to `right`.
int MarkerFillWidth(int left, int right, int position, int minimum, int maximum);

// Position for a pointer at `x` (the same coordinates as left and right), clamped to the range.
int MarkerPositionForPointer(int x, int left, int right, int minimum, int maximum);
