#pragma once
// What a browser sends when a page's form is submitted as it was shown: the
// fields read from the page's markup, for tests that press OK on an
// unchanged form.

#include <string>
#include <utility>
#include <vector>

using FormFields = std::vector<std::pair<std::string, std::string>>;

// The successful controls of the page's forms in page order: text, hidden
// and password inputs with their values, checked boxes ("on" without a
// value) and radio buttons, and the selected option of each list (else its
// first). Disabled controls and submit buttons are left out, as browsers do.
FormFields KavrixFormFields(const std::string& page);

// The fields form-encoded, with `extra` (for example "submit=++OK++")
// appended.
std::string KavrixEncodeForm(const FormFields& fields, const std::string& extra);
