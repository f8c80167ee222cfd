// tamsel-thumbnailer IN OUT SIZE: the desktop's thumbnailer for programs,
// libraries and icon files (app/cli/cli_thumbnail.h), started by the file
// manager through app/cli/tamsel.thumbnailer.
#include <cstdio>
#include <exception>
#include <string>

#include "app/cli/cli_options.h"
#include "app/cli/cli_thumbnail.h"
#include "util/file_utils.h"

int main(int argc, char** argv) {
  int size = 0;
  if (argc != 4 || !util::ParseDecimal(argv[3], &size) || size < 1 || size > app::kMaxCliSize) {
    std::fprintf(stderr,
                 "Usage: tamsel-thumbnailer IN OUT SIZE\n"
                 "Writes to OUT a PNG of at most SIZE (1 to %d) pixels square from the first icon of IN.\n",
                 app::kMaxCliSize);
    return 2;
  }
  app::TThumbnail result;
  try {
    result = app::WriteThumbnail(argv[1], argv[2], size);
  } catch (const std::exception& e) {
    result.reason = e.what();
  }
  if (result.ok) return 0;
  std::fprintf(stderr, "tamsel-thumbnailer: %s: %s\n", argv[1], result.reason.c_str());
  return 1;
}
