#pragma once

#include <atomic>
#include <cstdint>
#include <cstring>

#include "formats/vst2/sdk/AEffect.h"

// The program name a host sets and reads, kept so that any number of threads
// may set and read it at once without a lock and without the heap: hosts call
// effSetProgramName and effGetProgramName from their editor, automation and
// preset threads, never from processing.
//
// A sequence lock: the text lives in atomic words; a writer makes the sequence
// odd, stores the words and makes it even again, and a reader copies the words
// and keeps the copy only if the sequence was even and unchanged around it. A
// reader therefore gets one whole name, never a mix of two. Writers exclude each
// other through the sequence itself, so the text lives in one place.
//
// Only the first kVstMaxProgNameLen characters are kept: no host can read more.
class ProgramName {
 public:
  static constexpr std::size_t MAX_LENGTH = kVstMaxProgNameLen;

  explicit ProgramName(const char* initial) { set(initial); }
  ProgramName(const ProgramName&) = delete;
  ProgramName& operator=(const ProgramName&) = delete;

  // Replaces the name by the first MAX_LENGTH characters of text; null is ignored.
  void set(const char* text) {
    if (text == nullptr) return;
    Words words{};
    char* bytes = reinterpret_cast<char*>(words);
    for (std::size_t i = 0; i < MAX_LENGTH && text[i] != '\0'; ++i) bytes[i] = text[i];

    std::uint32_t sequence = _sequence.load(std::memory_order_relaxed);
    for (;;) {
      if ((sequence & 1u) == 0 &&
          _sequence.compare_exchange_weak(sequence, sequence + 1, std::memory_order_acquire,
                                          std::memory_order_relaxed))
        break;
      sequence = _sequence.load(std::memory_order_relaxed);
    }
    // The odd sequence is visible before any word changes.
    std::atomic_thread_fence(std::memory_order_release);
    for (std::size_t w = 0; w < kWords; ++w) _words[w].store(words[w], std::memory_order_relaxed);
    _sequence.store(sequence + 2, std::memory_order_release);
  }

  // Copies the name, NUL-terminated, into text, which holds MAX_LENGTH + 1 bytes.
  void get(char* text) const {
    Words words;
    for (;;) {
      const std::uint32_t before = _sequence.load(std::memory_order_acquire);
      if ((before & 1u) != 0) continue;
      for (std::size_t w = 0; w < kWords; ++w) words[w] = _words[w].load(std::memory_order_relaxed);
      // The words are read before the sequence is read again.
      std::atomic_thread_fence(std::memory_order_acquire);
      if (_sequence.load(std::memory_order_relaxed) == before) break;
    }
    std::memcpy(text, words, MAX_LENGTH);
    text[MAX_LENGTH] = '\0';
  }

 private:
  // Room for MAX_LENGTH characters and a NUL, in whole words.
  static constexpr std::size_t kWords = (MAX_LENGTH + 1 + 7) / 8;
  using Words = std::uint64_t[kWords];

  std::atomic<std::uint32_t> _sequence{0};
  std::atomic<std::uint64_t> _words[kWords] = {};
};
