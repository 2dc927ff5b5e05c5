// Prints the tables of a Jet database as JSON, read by the independent npm
// reader mdb-reader, so that tests can compare what we write with what
// another implementation reads.
//
//   node mdb-reader-dump.mjs FILE [--system] [TABLE...]
//
// Output: {"tables": [{"name", "rowCount", "columns": [{"name", "type",
// "size"}], "rows": [[...]]}]}. Values: null, numbers, booleans, strings;
// dates as "YYYY-MM-DD HH:MM:SS.mmm" (as stored, no time zone), binary data
// as lower-case hex, big integers and decimals as strings.
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const args = process.argv.slice(2);
const file = args.shift();
const withSystem = args.includes("--system");
const wanted = args.filter((a) => a !== "--system");

function pad(n, width = 2) {
  return String(n).padStart(width, "0");
}

function value(v) {
  if (v === null || v === undefined) return null;
  if (v instanceof Date) {
    // mdb-reader builds dates in UTC from the stored day count.
    return `${v.getUTCFullYear()}-${pad(v.getUTCMonth() + 1)}-${pad(v.getUTCDate())} ` +
      `${pad(v.getUTCHours())}:${pad(v.getUTCMinutes())}:${pad(v.getUTCSeconds())}.${pad(v.getUTCMilliseconds(), 3)}`;
  }
  if (Buffer.isBuffer(v) || v instanceof Uint8Array) return Buffer.from(v).toString("hex");
  if (typeof v === "bigint") return v.toString();
  return v;
}

const reader = new MDBReader(readFileSync(file));
const names = wanted.length > 0 ? wanted
  : reader.getTableNames({ normalTables: true, systemTables: withSystem, linkedTables: false });
const tables = names.map((name) => {
  const table = reader.getTable(name);
  const columns = table.getColumns();
  const data = table.getData();
  return {
    name,
    rowCount: table.rowCount,
    columns: columns.map((c) => ({ name: c.name, type: c.type, size: c.size })),
    rows: data.map((row) => columns.map((c) => value(row[c.name]))),
  };
});
process.stdout.write(JSON.stringify({ tables }) + "\n");
