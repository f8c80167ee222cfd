#include "app/export/html_export.h"

#include <utility>

namespace app {

namespace {

const char kRowStart[] = "<TR>";
const char kRowEnd[] = "</TR>";
const char kFillerCell[] = "<TD>&nbsp;</TD>";

}  // namespace

THtmlTable::THtmlTable(int total, int columns, bool include_numbers, std::string folder_name)
    : total_(total), columns_(columns < 1 ? 1 : columns), include_numbers_(include_numbers),
      folder_name_(std::move(folder_name)) {}

void THtmlTable::AddCell(int number, const std::string& image_name, int width, int height) {
  // The first written cell opens the first row, also when icon 1 itself was
  // skipped; later rows are opened as soon as the previous one ends.
  if (!row_open_) {
    text_ = kRowStart;
    row_open_ = true;
  }
  const std::string n = std::to_string(number);
  text_ += "<TD ALIGN=\"CENTER\"><img src=\"";
  text_ += folder_name_;
  text_ += '/';
  text_ += image_name;
  text_ += "\" width=\"";
  text_ += std::to_string(width);
  text_ += "\" height=\"";
  text_ += std::to_string(height);
  text_ += "\"ALT=\"";
  text_ += n;
  text_ += "\">";
  if (include_numbers_) {
    text_ += "<BR>";
    text_ += n;
  }
  text_ += "</TD>";
  ++cells_in_row_;

  if (number % columns_ == 0) {
    text_ += kRowEnd;
    row_open_ = false;
    cells_in_row_ = 0;
    if (number < total_) {
      text_ += kRowStart;
      row_open_ = true;
    }
  }
}

void THtmlTable::Close() {
  if (closed_) return;
  closed_ = true;
  if (!row_open_) return;
  // Fill the last row up to the column count. Without skipped icons this is
  // exactly (total div columns + 1) * columns - total filler cells.
  for (; cells_in_row_ < columns_; ++cells_in_row_) text_ += kFillerCell;
  text_ += kRowEnd;
  row_open_ = false;
}

std::string HtmlDocument(const std::string& source_file_name, bool draw_border, const std::string& table_text) {
  std::string doc;
  doc.reserve(table_text.size() + source_file_name.size() + 160);
  doc += "<!DOCTYPE HTML PUBLIC \"-//W3C//DTD HTML 3.2//EN\">\r\n<HTML>\r\n<HEAD><TITLE>Icons from ";
  doc += source_file_name;
  doc += "</TITLE></HEAD>\r\n<TABLE";
  if (draw_border) doc += " BORDER=\"1\"";
  doc += '>';
  doc += table_text;
  doc += "</TABLE>\r\n</BODY>\r\n</HTML>";
  return doc;
}

bool WriteHtmlDocument(util::ByteSink& sink, const std::string& source_file_name, bool draw_border,
                       const std::string& table_text) {
  const std::string doc = HtmlDocument(source_file_name, draw_border, table_text);
  return sink.Write(doc.data(), doc.size());
}

}  // namespace app
