#pragma once

class StartAtLogon;

// Registers (true) or removes (false) the program in the user's start-at-logon entries. The seam
// defaults to the platform's own.
void setAutoStart(bool enable, StartAtLogon* seam = nullptr);
