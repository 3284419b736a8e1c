#pragma once

#include "formats/vst2/sdk/AEffect.h"

// Bounded text transfer into host buffers. A host buffer for a limit of maxLen
// characters holds maxLen + 1 bytes; both functions write nothing beyond byte
// maxLen, always leave a NUL there, and ignore a null buffer or a negative
// limit, so a careless caller cannot make them write out of bounds.

// Copies at most maxLen characters of source (null counts as empty) into text
// and NUL-fills the rest of the buffer up to and including position maxLen.
char* vstStrncpy(char* text, const char* source, VstInt32 maxLen);

// Appends source to the NUL-terminated text so that the whole text keeps at
// most maxLen characters, then stores a NUL at position maxLen.
char* vstStrncat(char* text, const char* source, VstInt32 maxLen);
