// The read API's answers against its own OpenAPI document: the document is
// checked by an OpenAPI 3.1 validator, each answer's body by ajv against the
// schema the document gives for its path and status.
//   node api_schema_check.js <openapi.json> <answers.json>
// answers.json: [{"path": "/hours", "status": 200, "body": "<JSON text>"}, ...]
// The API's page test runs it on every answer it collects.
'use strict';

const fs = require('fs');
const { Validator } = require('@seriousme/openapi-schema-validator');
const Ajv2020 = require('ajv/dist/2020');
const addFormats = require('ajv-formats');

// A checker for one document: check(path, status, bodyText) gives a list of
// problems, empty when the answer fits. Throws when the document is invalid.
async function apiSchemaChecker(document) {
  const verdict = await new Validator().validate(structuredClone(document));
  if (!verdict.valid) throw new Error('invalid OpenAPI document: ' + JSON.stringify(verdict.errors, null, 1));
  const ajv = new Ajv2020({ strict: false, allErrors: true });
  addFormats(ajv);
  ajv.addSchema(document, 'openapi.json');
  const pointer = (part) => part.replace(/~/g, '~0').replace(/\//g, '~1');
  const resolve = (node) => {
    while (node && node.$ref) {
      node = node.$ref.slice(2).split('/').reduce((at, key) => at[key.replace(/~1/g, '/').replace(/~0/g, '~')], document);
    }
    return node;
  };
  const compiled = new Map();
  return (path, status, bodyText) => {
    const operation = document.paths[path] && document.paths[path].get;
    if (!operation) return [`${path}: not in the document`];
    const response = resolve(operation.responses[String(status)]);
    if (!response) return [`${path}: status ${status} not in the document`];
    let body;
    try {
      body = JSON.parse(bodyText);
    } catch (e) {
      return [`${path} ${status}: not JSON: ${e.message}`];
    }
    // The schema by its place in the document, so its $refs resolve there.
    const ref = operation.responses[String(status)].$ref;
    const base = ref ? ref.slice(1) : `/paths/${pointer(path)}/get/responses/${status}`;
    const key = `openapi.json#${base}/content/application~1json/schema`;
    if (!compiled.has(key)) compiled.set(key, ajv.compile({ $ref: key }));
    const validate = compiled.get(key);
    if (validate(body)) return [];
    return [`${path} ${status}: ${ajv.errorsText(validate.errors)} in ${bodyText.slice(0, 300)}`];
  };
}

async function main() {
  const [documentPath, answersPath] = process.argv.slice(2);
  const check = await apiSchemaChecker(JSON.parse(fs.readFileSync(documentPath, 'utf8')));
  const problems = [];
  for (const answer of JSON.parse(fs.readFileSync(answersPath, 'utf8'))) {
    problems.push(...check(answer.path, answer.status, answer.body));
  }
  if (problems.length > 0) {
    console.error(problems.join('\n'));
    process.exit(1);
  }
}

main().catch((e) => {
  console.error(e.message);
  process.exit(1);
});
