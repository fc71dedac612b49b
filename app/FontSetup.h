#pragma once

// Maps the theme font family "微软雅黑" to CJK fonts installed on this system, so that the
// Chinese texts of the style sheets render where that font is absent.
void installFontSubstitutions();
