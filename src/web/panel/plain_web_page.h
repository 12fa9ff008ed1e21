#pragma once
// LPlainWebPage: the root of the panel's page objects. Its access check is
// the default of every page: a valid session, or a redirect to "logon".

class LWebletForm;

class LPlainWebPage {
 public:
  explicit LPlainWebPage(LWebletForm& form) : form_(form) {}
  virtual ~LPlainWebPage() = default;
  LPlainWebPage(const LPlainWebPage&) = delete;
  LPlainWebPage& operator=(const LPlainWebPage&) = delete;

  // True when the session is valid; otherwise sends a redirect to "logon"
  // and returns false, and the page writes nothing more.
  virtual bool Authenticate();

  LWebletForm& Form() const { return form_; }

 private:
  LWebletForm& form_;
};
