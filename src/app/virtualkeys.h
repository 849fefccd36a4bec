#pragma once

class QKeyEvent;

// The classic Windows virtual-key number of a key press (letters 65-90 with or without Shift,
// digits 48-57, arrows 37-40, ...), or 0 for a key that has none. Shifted characters give the
// code of the key that types them on a US layout ('!' is the 1 key, 49).
int virtualKeyCode(const QKeyEvent &event);
