#include "app/export/argv_split.h"

namespace app {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

// The program's path from line[*i] on: quoted up to the next quote, or up
// to a blank. No backslash rules apply to it.
std::string ReadProgramPath(const std::string& line, size_t* i) {
  const size_t n = line.size();
  std::string program;
  if (*i < n && line[*i] == '"') {
    ++*i;
    while (*i < n && line[*i] != '"') program += line[(*i)++];
    if (*i < n) ++*i;
  } else {
    while (*i < n && !IsBlank(line[*i])) program += line[(*i)++];
  }
  return program;
}

// A run of backslashes at line[*i], appended to arg. Before a quote, 2k
// backslashes give k and leave the quote to toggle quoting; 2k+1 give k
// and a literal quote.
void ReadBackslashes(const std::string& line, size_t* i, std::string* arg) {
  const size_t n = line.size();
  size_t slashes = 0;
  while (*i < n && line[*i] == '\\') {
    ++slashes;
    ++*i;
  }
  if (*i < n && line[*i] == '"') {
    arg->append(slashes / 2, '\\');
    if (slashes % 2 == 1) {
      *arg += '"';
      ++*i;
    }
  } else {
    arg->append(slashes, '\\');
  }
}

// One argument from line[*i], which is no blank, up to the first blank
// outside quotes.
std::string ReadArgument(const std::string& line, size_t* i) {
  const size_t n = line.size();
  std::string arg;
  bool quoted = false;
  while (*i < n && (quoted || !IsBlank(line[*i]))) {
    if (line[*i] == '\\') {
      ReadBackslashes(line, i, &arg);
    } else if (line[*i] == '"' && quoted && *i + 1 < n && line[*i + 1] == '"') {
      arg += '"';  // "" inside quotes is a literal quote
      *i += 2;
    } else if (line[*i] == '"') {
      quoted = !quoted;
      ++*i;
    } else {
      arg += line[(*i)++];
    }
  }
  return arg;
}

}  // namespace

std::vector<std::string> SplitCommandLine(const std::string& line) {
  size_t i = 0;
  std::vector<std::string> args{ReadProgramPath(line, &i)};
  for (;;) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) break;
    args.push_back(ReadArgument(line, &i));
  }
  return args;
}

}  // namespace app
