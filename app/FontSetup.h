#pragma once

// Where the theme font family "微软雅黑" is not installed (Linux, and Windows without the font),
// maps it to CJK fonts that are, so that the Chinese texts of the style sheets render. Where it is
// installed (Windows), the font itself is used. Needs the application object.
void installFontSubstitutions();
