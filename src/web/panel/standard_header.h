#pragma once
// The head and foot that every page of the control panel is framed by. Each
// header also writes the HTTP status line and headers, so a page starts with
// exactly one of them and ends with WLStandardFooter. Each also shows, at the
// top of the content, the confirmation line a save left (confirmation_line.h).

#include <string_view>

class LWebletForm;

// Head without navigation links; content starts at the top of the page.
void WLStandardHeader(LWebletForm& form);
// The same with `links` (navigation HTML, written as it is) in the right
// half of the title row, hidden when printing.
void WLStandardHeader(LWebletForm& form, std::string_view links);
// As WLStandardHeader with links, content centred vertically (dialogs).
void WLStandardHeaderCenter(LWebletForm& form, std::string_view links);
// Report pages: "KavrixServer - <title>" and the print (and, in browsers that
// can, save) tools. The title is HTML-escaped.
void WLReportStandardHeader(LWebletForm& form, std::string_view links, std::string_view title);
// Closes what the headers opened and adds the maker notice.
void WLStandardFooter(LWebletForm& form);
