#pragma once
// "api/v1/openapi.json": the OpenAPI 3.1 description (no token needed).

class LWebletForm;

void WLApiOpenApi(LWebletForm& form);

// The document it serves.
extern const char kKXApiOpenApiDocument[];
