#include "settings/preferences_file.h"

#include "platform/platform.h"

namespace settings {
namespace {

bool IsBlank(char c) {
  return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool EqualNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i] >= 'a' && a[i] <= 'z' ? static_cast<char>(a[i] - 32) : a[i];
    char y = b[i] >= 'a' && b[i] <= 'z' ? static_cast<char>(b[i] - 32) : b[i];
    if (x != y) return false;
  }
  return true;
}

// Text without a UTF-8 byte order mark is Latin-1: every byte is one character.
std::string ToUtf8(std::string_view bytes) {
  if (bytes.size() > 2 && bytes.substr(0, 3) == "\xEF\xBB\xBF") return std::string(bytes.substr(3));
  std::string utf8;
  utf8.reserve(bytes.size());
  for (unsigned char c : bytes) {
    if (c < 0x80) {
      utf8 += static_cast<char>(c);
    } else {
      utf8 += static_cast<char>(0xC0 | (c >> 6));
      utf8 += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return utf8;
}

}  // namespace

int32_t Atoi(std::string_view text) {
  size_t i = 0;
  while (i < text.size() && (IsBlank(text[i]) || (text[i] >= '\n' && text[i] <= '\r'))) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  uint32_t value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(text[i] - '0');
  }
  return static_cast<int32_t>(negative ? 0u - value : value);
}

bool PreferencesFile::OpenForReading(const std::string& path) {
  Close();
  std::FILE* file = platform::OpenFile(path, "rb");
  if (!file) return false;
  std::string bytes;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.append(buffer, n);
  bool ok = !std::ferror(file);
  std::fclose(file);
  if (!ok) return false;
  path_ = path;
  Parse(bytes);
  return true;
}

void PreferencesFile::Parse(std::string_view bytes) {
  records_.clear();
  currentGroup_.reset();
  pendingGroup_.reset();
  const std::string text = ToUtf8(bytes);
  size_t pos = 0;
  while (pos < text.size()) {
    size_t end = text.find_first_of("\r\n", pos);
    if (end == std::string::npos) end = text.size();
    std::string_view line(text.data() + pos, end - pos);
    pos = end + (end + 1 < text.size() && text[end] == '\r' && text[end + 1] == '\n' ? 2 : 1);

    while (!line.empty() && IsBlank(line.front())) line.remove_prefix(1);
    if (line.empty()) continue;
    if (line.front() == ';') {
      line.remove_prefix(1);
      if (!line.empty() && line.front() == ' ') line.remove_prefix(1);
      records_.push_back({Kind::kComment, std::string(line), {}});
    } else if (line.front() == '[') {
      line.remove_prefix(1);
      records_.push_back({Kind::kGroup, std::string(line.substr(0, line.find(']'))), {}});
    } else {
      size_t equals = line.find('=');
      std::string_view key = line.substr(0, equals);
      while (!key.empty() && IsBlank(key.back())) key.remove_suffix(1);
      std::string_view value;
      if (equals != std::string_view::npos) {
        value = line.substr(equals + 1);
        while (!value.empty() && IsBlank(value.front())) value.remove_prefix(1);
      }
      records_.push_back({Kind::kEntry, std::string(key), std::string(value)});
    }
  }
}

bool PreferencesFile::CreateForWriting(const std::string& path) {
  Close();
  failure_.clear();
  tempPath_ = path + ".tmp";
  tempFile_ = platform::OpenFile(tempPath_, "wb");
  if (!tempFile_) {
    failure_ = platform::LastErrorText();
    return false;
  }
  path_ = path;
  return true;
}

void PreferencesFile::SelectGroup(std::string_view name) {
  pendingGroup_.reset();
  currentGroup_.reset();
  if (name.empty()) return;
  for (size_t i = 0; i < records_.size(); ++i) {
    if (records_[i].kind == Kind::kGroup && EqualNoCase(records_[i].name, name)) {
      currentGroup_ = i;
      return;
    }
  }
  pendingGroup_ = std::string(name);
}

size_t PreferencesFile::BodyBegin() const {
  return currentGroup_ ? *currentGroup_ + 1 : 0;
}

size_t PreferencesFile::BodyEnd() const {
  size_t i = BodyBegin();
  while (i < records_.size() && records_[i].kind != Kind::kGroup) ++i;
  return i;
}

std::optional<size_t> PreferencesFile::FindEntry(std::string_view key) const {
  if (pendingGroup_) return std::nullopt;
  for (size_t i = BodyBegin(), end = BodyEnd(); i < end; ++i) {
    if (records_[i].kind == Kind::kEntry && EqualNoCase(records_[i].name, key)) return i;
  }
  return std::nullopt;
}

std::string PreferencesFile::ReadText(std::string_view key, std::string_view fallback) const {
  std::optional<size_t> entry = FindEntry(key);
  return std::string(entry ? TrimBlanks(records_[*entry].value) : fallback);
}

int32_t PreferencesFile::ReadInteger(std::string_view key, int32_t fallback) const {
  std::optional<size_t> entry = FindEntry(key);
  return entry ? Atoi(records_[*entry].value) : fallback;
}

void PreferencesFile::ResolvePendingGroup() {
  if (!pendingGroup_) return;
  records_.push_back({Kind::kGroup, *pendingGroup_, {}});
  currentGroup_ = records_.size() - 1;
  pendingGroup_.reset();
}

void PreferencesFile::WriteText(std::string_view key, std::string_view value) {
  ResolvePendingGroup();
  modified_ = true;
  if (std::optional<size_t> entry = FindEntry(key)) {
    records_[*entry].value = value;
    return;
  }
  records_.insert(records_.begin() + static_cast<ptrdiff_t>(BodyEnd()),
                  {Kind::kEntry, std::string(key), std::string(value)});
}

void PreferencesFile::WriteInteger(std::string_view key, int32_t value) {
  WriteText(key, std::to_string(value));
}

void PreferencesFile::WriteComment(std::string_view comment) {
  ResolvePendingGroup();
  modified_ = true;
  records_.insert(records_.begin() + static_cast<ptrdiff_t>(BodyEnd()),
                  {Kind::kComment, std::string(comment), {}});
}

std::string PreferencesFile::Serialize() const {
  std::string out = "\xEF\xBB\xBF\r\n";
  for (const Record& record : records_) {
    switch (record.kind) {
      case Kind::kGroup:
        out += "[" + record.name + "]";
        break;
      case Kind::kComment:
        out += "; " + record.name;
        break;
      case Kind::kEntry:
        out += record.name + " = " + record.value;
        break;
    }
    out += "\r\n";
  }
  return out;
}

bool PreferencesFile::WriteOut() {
  if (!tempFile_) {
    tempPath_ = path_ + ".tmp";
    tempFile_ = platform::OpenFile(tempPath_, "wb");
    if (!tempFile_) {
      failure_ = platform::LastErrorText();
      return false;
    }
  }
  const std::string bytes = Serialize();
  bool written = std::fwrite(bytes.data(), 1, bytes.size(), tempFile_) == bytes.size();
  bool synced = platform::SyncAndClose(tempFile_);
  tempFile_ = nullptr;
  if (written && synced && platform::RenameOver(tempPath_, path_)) return true;
  failure_ = platform::LastErrorText();  // before the clean-up can change it
  platform::RemoveFile(tempPath_);
  return false;
}

bool PreferencesFile::Close() {
  bool ok = true;
  if (modified_ && !path_.empty()) {
    ok = WriteOut();
  } else if (tempFile_) {
    std::fclose(tempFile_);
    platform::RemoveFile(tempPath_);
  }
  records_.clear();
  currentGroup_.reset();
  pendingGroup_.reset();
  modified_ = false;
  path_.clear();
  tempPath_.clear();
  tempFile_ = nullptr;
  return ok;
}

}  // namespace settings
