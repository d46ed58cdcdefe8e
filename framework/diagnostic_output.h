// Where the framework tells the developer about trouble that it handled on its own and that the
// user never sees: the debugger's output on Windows, standard error elsewhere. The program writes
// no log, so nothing here ever reaches a file.
#pragma once

// Writes one line of text (which should end with a line break). Never fails and never throws.
void WriteDiagnostic(const char* text) noexcept;
