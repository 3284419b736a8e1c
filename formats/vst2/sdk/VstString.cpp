#include "formats/vst2/sdk/VstString.h"

char* vstStrncpy(char* text, const char* source, VstInt32 maxLen) {
  if (text == nullptr || maxLen < 0) return text;
  VstInt32 i = 0;
  if (source != nullptr) {
    for (; i < maxLen && source[i] != '\0'; ++i) text[i] = source[i];
  }
  for (; i <= maxLen; ++i) text[i] = '\0';
  return text;
}

char* vstStrncat(char* text, const char* source, VstInt32 maxLen) {
  if (text == nullptr || maxLen < 0) return text;
  VstInt32 length = 0;
  while (length < maxLen && text[length] != '\0') ++length;
  if (source != nullptr) {
    for (VstInt32 i = 0; length < maxLen && source[i] != '\0'; ++i) text[length++] = source[i];
  }
  text[length] = '\0';
  text[maxLen] = '\0';
  return text;
}
