"""Texts of the English skin: every caption of skins.ini and every function name of general.ini.

Keys are the numbers the programs look up; a number that no window uses still gets a sensible
text, so that a later layout can take it without a missing caption.
"""

# skins.ini ------------------------------------------------------------------------------------

GENERAL = {
    # page 1: pointer and wheel settings, polling rate (buttons 6-9 are narrow: numbers only)
    1: "Pointer acceleration",
    2: "Pointer speed",
    3: "Wheel scroll lines",
    4: "Double-click speed",
    5: "Polling rate (Hz)",
    6: "125",
    7: "250",
    8: "500",
    9: "1000",
    10: "Slow",
    11: "Fast",
    12: "Low",
    13: "High",
    14: "Lines",
    # page 2: resolution stage buttons
    15: "DPI 1",
    16: "DPI 2",
    17: "DPI 3",
    18: "DPI 4",
    19: "DPI 5",
    20: "X",
    21: "Y",
    22: "DPI",
    # page 3: lighting labels and option buttons
    23: "Colour",
    24: "Custom colour",
    25: "Brightness",
    26: "Low",
    27: "Medium",
    28: "High",
    29: "Speed",
    30: "Slow",
    31: "Medium",
    32: "Fast",
    33: "Speed",
    34: "Slow",
    35: "Medium",
    36: "Fast",
    # page 4: information
    37: "Vireo Gaming Mouse",
    38: "Configuration software, version 1.0",
    39: "Five profiles, ten buttons, 100 to 10000 DPI",
    40: "Settings are stored in the mouse",
    41: "(c) 2026 Vireo. All rights reserved.",
    # bottom row, tabs and profiles
    42: "Export",
    43: "Import",
    44: "Reset",
    45: "Reset all",
    46: "OK",
    47: "Cancel",
    48: "Apply",
    49: "Buttons",
    50: "DPI",
    51: "Lighting",
    52: "About",
    53: "Profile 1",
    54: "Profile 2",
    55: "Profile 3",
    56: "Profile 4",
    57: "Profile 5",
    # spare texts
    58: "Profile",
    59: "Performance",
    60: "Resolution",
    61: "Button assignment",
    62: "Left button",
    63: "Right button",
    64: "Middle button",
    65: "Back button",
    66: "Forward button",
    67: "Side button",
    68: "DPI up button",
    69: "DPI down button",
    70: "Wheel up",
    71: "Wheel down",
    72: "Enabled",
    73: "Disabled",
    74: "Linked",
    75: "Default",
    76: "Saving...",
    77: "Mouse connected",
    78: "Mouse not connected",
    79: "Lighting mode",
    # page 3: the eight lighting modes
    80: "Breathing",
    81: "Colour Cycle",
    82: "Steady",
    83: "Wave",
    84: "Neon",
    85: "Rainbow",
    86: "Reactive",
    87: "Off",
    88: "Lighting is switched off",
    89: "Custom",
    90: "Preset colours",
    # page 2: title, shown as "<text> : <stage>"
    91: "Current DPI stage",
}

MACRO = {
    1: "Macro Editor",
    2: "Macros",
    3: "Recorded events",
    4: "Action",
    5: "Key",
    6: "Delay (ms)",
    7: "Total delay:",
    8: "ms",
    9: "Recorded:",
    10: "events",
    11: "Options",
    12: "Record delays",
    13: "Fixed delay per step",
    14: "ms",
    15: "Repeat count",
    16: "Repeat while held",
    17: "Edit events",
    18: "New",
    19: "Delete",
    20: "Insert Record",
    21: "Delete Row",
    22: "Move Up",
    23: "Move Down",
    24: "Copy",
    25: "Cut",
    26: "Paste",
    27: "Mouse Click",
    28: "Toggle on/off",
    29: "Import",
    30: "Export",
}

WARNING = {
    1: "Warning",
    2: "At least one button must keep the left click.",
    3: "Reset profile",
    4: "Restore the current profile to its factory settings?",
    5: "Its buttons, DPI stages and lighting will be replaced.",
    6: "Reset all profiles",
    7: "Restore all five profiles to their factory settings?",
    8: "Every change you made to the profiles will be lost.",
    9: "Delete macro",
    10: "Delete the selected macro from the library?",
    11: "The file could not be read.",
    12: "The library holds 15 macros. Delete one to make room.",
    13: "Some keys of this macro are pressed but never released.",
}

SINGLEKEY = {
    1: "Press a key",
    2: "Press the key to assign, then OK.",
    3: "Key combination",
    4: "Hold up to four modifier keys and press one key.",
    5: "New macro",
    6: "Enter a name for the new macro:",
    7: "Rapid fire",
}

FIREKEY = {
    1: "Left",
    2: "Right",
    3: "Middle",
    4: "Keyboard key",
    5: "Button",
    6: "Key",
    7: "Shots",
    8: "Interval",
}

BEACON = {
    1: "Open Vireo settings",
    2: "Exit",
    3: "Vireo Gaming Mouse",
    4: "Mouse connected and ready",
}

SKINS_INI = [
    ("General", GENERAL),
    ("MACRO", MACRO),
    ("WARNING", WARNING),
    ("SINGLEKEY", SINGLEKEY),
    ("FireKey", FIREKEY),
    ("BEACON", BEACON),
]

# general.ini: names of the assignable functions -------------------------------------------------

FUNCTION_STRING = {
    1: "Left Click",
    2: "Right Click",
    3: "Middle Click",
    4: "Back",
    5: "Forward",
    6: "Single Key",
    7: "Key Combination",
    8: "Basic Functions",
    9: "Advanced Functions",
    10: "Media Keys",
    11: "Scroll",
    12: "Rapid Fire",
    13: "DPI Functions",
    14: "Profile Switch",
    15: "Polling Rate",
    16: "Disabled",
    100: "Macro",
}

BASIC = {
    1: "Cut",
    2: "Copy",
    3: "Paste",
    4: "Select All",
    5: "Find",
    6: "New",
    7: "Print",
    8: "Save",
}

ADVANCED = {
    1: "Switch Window",
    2: "Close Window",
    3: "File Explorer",
    4: "Run",
    5: "Show Desktop",
    6: "Lock Computer",
    7: "Browser Home",
    8: "Browser Back",
    9: "Browser Forward",
    10: "Browser Stop",
    11: "Browser Refresh",
    12: "Search",
    13: "Favourites",
    14: "Mail",
}

MEDIA = {
    1: "Play / Pause",
    2: "Stop",
    3: "Previous Track",
    4: "Next Track",
    5: "Volume Up",
    6: "Volume Down",
    7: "Mute",
    8: "None",
}

DPI = {
    1: "DPI Cycle",
    2: "DPI Up",
    3: "DPI Down",
}

RATE = {
    1: "Polling Rate Up",
    2: "Polling Rate Down",
}

SCROLL = {
    1: "Scroll Up",
    2: "Scroll Down",
    3: "Fast Scroll",
}

MACRO_MENU = {
    1: "Macro Editor...",
}

GENERAL_INI = [
    ("FUNCTION_STRING", FUNCTION_STRING),
    ("BASIC", BASIC),
    ("ADVANCED", ADVANCED),
    ("MEDIA", MEDIA),
    ("DPI", DPI),
    ("RATE", RATE),
    ("SCROLL", SCROLL),
    ("MACRO", MACRO_MENU),
]
