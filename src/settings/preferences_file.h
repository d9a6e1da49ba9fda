// config.ini: a small text file of "[group]" lines, "; comment" lines and "key = value" lines.
// Look-ups ignore ASCII letter case and take the first match; the writer always produces UTF-8
// with a byte order mark and CR LF line ends.
#pragma once

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace settings {

class PreferencesFile {
 public:
  PreferencesFile() = default;
  PreferencesFile(const PreferencesFile&) = delete;
  PreferencesFile& operator=(const PreferencesFile&) = delete;
  ~PreferencesFile() { Close(); }

  // Reads and parses an existing file. False when it cannot be opened or read.
  bool OpenForReading(const std::string& path);
  // Parses text as if it had been read from a file (used by OpenForReading and tests).
  void Parse(std::string_view bytes);

  // Starts a new document for `path`. The content goes to a temporary file beside it, which
  // Close renames over `path`, so the old file stays whole until the new one is complete.
  // False when the temporary file cannot be created.
  bool CreateForWriting(const std::string& path);

  // Selects the first group named `name` (any case); an empty name selects the top of the file.
  // An unknown name is remembered: reads give their defaults, and the first write adds the group.
  void SelectGroup(std::string_view name);

  std::string ReadText(std::string_view key, std::string_view fallback) const;
  int32_t ReadInteger(std::string_view key, int32_t fallback) const;

  void WriteText(std::string_view key, std::string_view value);
  void WriteInteger(std::string_view key, int32_t value);
  void WriteComment(std::string_view comment);

  // The document as the writer lays it out.
  std::string Serialize() const;

  // Writes a modified document created for writing and releases everything. False when the
  // new content could not be written completely (the old file is then left untouched).
  bool Close();

  // Why the last CreateForWriting or Close failed, in the system's words ("" when it did not).
  const std::string& Failure() const { return failure_; }

 private:
  enum class Kind { kGroup, kComment, kEntry };
  struct Record {
    Kind kind;
    std::string name;  // group name, comment text or entry key
    std::string value;
  };

  // Index of the first record of the current group's body, and one past its last record.
  size_t BodyBegin() const;
  size_t BodyEnd() const;
  std::optional<size_t> FindEntry(std::string_view key) const;
  void ResolvePendingGroup();
  bool WriteOut();

  std::vector<Record> records_;
  std::optional<size_t> currentGroup_;  // empty: the top of the file
  std::optional<std::string> pendingGroup_;
  bool modified_ = false;
  std::string path_;
  std::string tempPath_;
  std::FILE* tempFile_ = nullptr;
  std::string failure_;
};

// Reads text as C's atoi does: optional white space, optional sign, decimal digits.
int32_t Atoi(std::string_view text);

}  // namespace settings
