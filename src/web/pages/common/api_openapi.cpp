#include "web/pages/common/api_openapi.h"

#include "web/http/weblet_form.h"
#include "web/panel/api_access.h"

// The description of the API for generators and validators; doc/api.md
// explains the same in prose. Kept beside the handlers so that a change of
// a field shows up in one review.
const char kKXApiOpenApiDocument[] = R"json({
  "openapi": "3.1.0",
  "info": {
    "title": "KavrixServer read API",
    "version": "1.0.0",
    "description": "Hours, leave and presence for payroll and calendar programs. Every call but this document needs a personal API token, created on My Details and sent as Authorization: Bearer <token>. Each call shows what the matching page would show the token's owner."
  },
  "servers": [{"url": "/api/v1"}],
  "security": [{"bearerToken": []}],
  "paths": {
    "/users": {
      "get": {
        "operationId": "listUsers",
        "summary": "The users the caller may see, in registry order",
        "responses": {
          "200": {"description": "The users", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/UserList"}}}},
          "401": {"$ref": "#/components/responses/Unauthorized"},
          "405": {"$ref": "#/components/responses/MethodNotAllowed"}
        }
      }
    },
    "/hours": {
      "get": {
        "operationId": "getHours",
        "summary": "Minutes per day: worked, required, breaks, manual, private",
        "parameters": [
          {"$ref": "#/components/parameters/User"},
          {"name": "from", "in": "query", "required": true, "description": "First day", "schema": {"type": "string", "format": "date"}},
          {"name": "to", "in": "query", "required": false, "description": "Last day, at most 365 days after from; default from", "schema": {"type": "string", "format": "date"}}
        ],
        "responses": {
          "200": {"description": "Every day of the range for each user", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Hours"}}}},
          "400": {"$ref": "#/components/responses/BadParameter"},
          "401": {"$ref": "#/components/responses/Unauthorized"},
          "403": {"$ref": "#/components/responses/Forbidden"},
          "404": {"$ref": "#/components/responses/UnknownUser"},
          "405": {"$ref": "#/components/responses/MethodNotAllowed"}
        }
      }
    },
    "/leave": {
      "get": {
        "operationId": "getLeave",
        "summary": "The leave records of a year",
        "parameters": [
          {"$ref": "#/components/parameters/User"},
          {"name": "year", "in": "query", "required": false, "description": "Default this year", "schema": {"type": "string", "pattern": "^[0-9]{4}$"}}
        ],
        "responses": {
          "200": {"description": "Each user's records in file order", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Leave"}}}},
          "400": {"$ref": "#/components/responses/BadParameter"},
          "401": {"$ref": "#/components/responses/Unauthorized"},
          "403": {"$ref": "#/components/responses/Forbidden"},
          "404": {"$ref": "#/components/responses/UnknownUser"},
          "405": {"$ref": "#/components/responses/MethodNotAllowed"}
        }
      }
    },
    "/presence": {
      "get": {
        "operationId": "getPresence",
        "summary": "Who is connected now, in which state and since when",
        "responses": {
          "200": {"description": "The users the caller may see, monitors left out", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Presence"}}}},
          "401": {"$ref": "#/components/responses/Unauthorized"},
          "405": {"$ref": "#/components/responses/MethodNotAllowed"}
        }
      }
    },
    "/openapi.json": {
      "get": {
        "operationId": "getOpenApi",
        "summary": "This document",
        "security": [],
        "responses": {
          "200": {"description": "The OpenAPI document", "content": {"application/json": {"schema": {"type": "object"}}}}
        }
      }
    }
  },
  "components": {
    "securitySchemes": {
      "bearerToken": {"type": "http", "scheme": "bearer", "description": "32 hex digits from My Details"}
    },
    "parameters": {
      "User": {"name": "user", "in": "query", "required": false, "description": "A user's e-mail address; left out: every user the caller may see", "schema": {"type": "string"}}
    },
    "responses": {
      "BadParameter": {"description": "A parameter is wrong; it is named", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/ParameterError"}}}},
      "Unauthorized": {"description": "No token, or an unknown, revoked or expired one", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Error"}}}},
      "Forbidden": {"description": "The caller may not see this user's data", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Error"}}}},
      "UnknownUser": {"description": "No user has this address", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/ParameterError"}}}},
      "MethodNotAllowed": {"description": "The API only reads", "content": {"application/json": {"schema": {"$ref": "#/components/schemas/Error"}}}}
    },
    "schemas": {
      "Error": {
        "type": "object",
        "required": ["status", "error"],
        "additionalProperties": false,
        "properties": {
          "status": {"type": "integer", "enum": [400, 401, 403, 404, 405]},
          "error": {"type": "string"},
          "parameter": {"type": "string"}
        }
      },
      "ParameterError": {
        "allOf": [{"$ref": "#/components/schemas/Error"}],
        "required": ["parameter"]
      },
      "UserList": {
        "type": "object",
        "required": ["users"],
        "additionalProperties": false,
        "properties": {
          "users": {
            "type": "array",
            "items": {
              "type": "object",
              "required": ["email", "name", "teams", "managers", "administrator", "hr", "workType", "weeklyMinutes", "workDays"],
              "additionalProperties": false,
              "properties": {
                "email": {"type": "string"},
                "name": {"type": "string"},
                "teams": {"type": "array", "items": {"type": "string"}},
                "managers": {"type": "array", "items": {"type": "string"}},
                "administrator": {"type": "boolean"},
                "hr": {"type": "boolean"},
                "workType": {"type": "string", "enum": ["default", "permanent", "casual"]},
                "weeklyMinutes": {"type": "integer", "minimum": 0},
                "workDays": {"type": "array", "description": "Monday first; empty for flexible days", "items": {"type": "string", "enum": ["Mon", "Tue", "Wed", "Thu", "Fri", "Sat", "Sun"]}}
              }
            }
          }
        }
      },
      "Minutes": {
        "type": "object",
        "required": ["worked", "required", "breaks", "manual", "private"],
        "properties": {
          "worked": {"type": "integer", "minimum": 0},
          "required": {"type": ["integer", "null"], "minimum": 0, "description": "null for casual staff and for flexible days"},
          "breaks": {"type": "integer", "minimum": 0},
          "manual": {"type": "integer", "minimum": 0},
          "private": {"type": "integer", "minimum": 0}
        }
      },
      "Hours": {
        "type": "object",
        "required": ["from", "to", "users"],
        "additionalProperties": false,
        "properties": {
          "from": {"type": "string", "format": "date"},
          "to": {"type": "string", "format": "date"},
          "users": {
            "type": "array",
            "items": {
              "type": "object",
              "required": ["email", "name", "days", "total"],
              "additionalProperties": false,
              "properties": {
                "email": {"type": "string"},
                "name": {"type": "string"},
                "days": {
                  "type": "array",
                  "items": {
                    "allOf": [{"$ref": "#/components/schemas/Minutes"}],
                    "required": ["date"],
                    "properties": {"date": {"type": "string", "format": "date"}},
                    "unevaluatedProperties": false
                  }
                },
                "total": {"allOf": [{"$ref": "#/components/schemas/Minutes"}], "unevaluatedProperties": false}
              }
            }
          }
        }
      },
      "Leave": {
        "type": "object",
        "required": ["year", "users"],
        "additionalProperties": false,
        "properties": {
          "year": {"type": "integer"},
          "users": {
            "type": "array",
            "items": {
              "type": "object",
              "required": ["email", "name", "records"],
              "additionalProperties": false,
              "properties": {
                "email": {"type": "string"},
                "name": {"type": "string"},
                "records": {
                  "type": "array",
                  "items": {
                    "type": "object",
                    "required": ["type", "start", "end", "days", "state"],
                    "additionalProperties": false,
                    "properties": {
                      "type": {"type": "string"},
                      "start": {"type": "string", "format": "date"},
                      "end": {"type": "string", "format": "date"},
                      "days": {"type": "integer", "minimum": 0, "description": "Days that are neither Saturday nor Sunday nor a public holiday"},
                      "state": {"type": "string", "enum": ["pending", "approved", "disapproved"]}
                    }
                  }
                }
              }
            }
          }
        }
      },
      "Presence": {
        "type": "object",
        "required": ["users"],
        "additionalProperties": false,
        "properties": {
          "users": {
            "type": "array",
            "items": {
              "type": "object",
              "required": ["email", "name", "connected", "state", "since"],
              "additionalProperties": false,
              "properties": {
                "email": {"type": "string"},
                "name": {"type": "string"},
                "connected": {"type": "boolean"},
                "state": {"type": "string", "enum": ["offline", "active", "idle", "private"]},
                "since": {"type": ["string", "null"], "format": "date-time", "description": "When the state last changed"},
                "caption": {"type": "string", "description": "The window caption, only where the organisation and the user let it be shown"}
              }
            }
          }
        }
      }
    }
  }
}
)json";

void WLApiOpenApi(LWebletForm& form) { WLSendJson(form, 200, kKXApiOpenApiDocument); }
