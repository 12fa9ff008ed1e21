#pragma once
// The "API token" box of My Details (the user details page of oneself):
// create a personal token for the read API, see it once, revoke it. Only a
// POST of that page's own form by the user himself acts; the token is shown
// in the answer to that POST and never again, as only its hash is kept.

#include <string>

class LWebletForm;
class LWebDialog;

inline constexpr char kKXCreateApiTokenLabel[] = "Create API token";
inline constexpr char kKXRevokeApiTokenLabel[] = "Revoke API token";
inline constexpr char kKXApiTokenNotCreated[] = "The API token could not be created. Please try again.";

// Acts on a pressed token button of the details page of `selected`: a POST
// by the logged-on user of his own details. `shownToken` gets a new token.
// The pressed button is then taken out of the request, so the page is shown
// afresh from the record. False when no token button was pressed.
bool WLApiTokenPost(LWebletForm& form, const std::string& selected, std::string& shownToken, std::string& notice);

// The box, on the page of the logged-on user's own details only.
void KXWriteApiTokenBox(LWebDialog& dialog, const std::string& selected, const std::string& shownToken,
                        const std::string& notice);
