// The HTML document of an HTML export: a table of the exported images, a
// fixed number per row, each with its number as alternative text and, on
// request, printed under it.
//
// THtmlTable collects the table text cell by cell while the export loop
// writes the images; HtmlDocument wraps it once the loop has ended without
// an error. The text is the program's 8-bit character set, byte for byte:
// paths and names are neither escaped nor encoded, and the table carries no
// line breaks.
#pragma once

#include <string>

#include "util/byte_sink.h"

namespace app {

class THtmlTable {
 public:
  // total: the number of icons of the source; columns: cells per row (a
  // count below 1 is taken as 1); folder_name: the image folder's own name,
  // as the cells refer to it.
  THtmlTable(int total, int columns, bool include_numbers, std::string folder_name);

  // The cell of the icon numbered `number` (1-based), written as
  // image_name with the given size. Skipped icons add nothing; later icons
  // keep their own numbers, and a row ends after every multiple of the
  // column count.
  void AddCell(int number, const std::string& image_name, int width, int height);

  // Closes the open row with filler cells up to the column count. An empty
  // table (no icon written) stays empty.
  void Close();

  int Columns() const { return columns_; }
  const std::string& Text() const { return text_; }

 private:
  int total_;
  int columns_;
  bool include_numbers_;
  std::string folder_name_;
  std::string text_;
  int cells_in_row_ = 0;
  bool row_open_ = false;
  bool closed_ = false;
};

// The whole document: title naming the source file, the table with or
// without a border, no line end after the closing tag.
std::string HtmlDocument(const std::string& source_file_name, bool draw_border, const std::string& table_text);

// Writes the document through the sink; false when the sink failed.
bool WriteHtmlDocument(util::ByteSink& sink, const std::string& source_file_name, bool draw_border,
                       const std::string& table_text);

}  // namespace app
