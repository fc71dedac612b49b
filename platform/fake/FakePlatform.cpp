// The fakes are header-only; this file gives the library a translation unit for their moc code.
#include "platform/fake/FakeMouseButtons.h"
