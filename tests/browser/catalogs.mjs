// Writes the CSV files (Windows-1252, as the import reads them) of the
// catalogs the browser tests import: "evil.csv" with texts that must stay
// data, and "big.csv" with N products for the search and loading figures.
//
// usage: node catalogs.mjs DIR N
import fs from "node:fs";
import path from "node:path";

const [dir, n] = [process.argv[2], Number(process.argv[3] || 2000)];
const field = (s) => `"${String(s).replace(/"/g, '""')}"`;
const line = (fields) => fields.map(field).join(";") + "\r\n";

export const evil = [
  "<img src=x onerror=alert(1)>",
  "</script><script>alert(2)</script>",
  '"onmouseover="alert(3)',
  "javascript:alert(4)",
];

let csv = "";
csv += line(["Gartengeräte", "Gießkanne aus Zink", "Zehn Liter. Mehr unter www.example.com oder info@example.com", "", "GK-1", "12,50"]);
evil.forEach((e, i) => {
  csv += line(["Böse Texte", e, `Beschreibung ${i}: ${e} https://example.org/?q=${encodeURIComponent(e)}`, "", `B-${i}`, "1,00"]);
});
csv += line(["Böse Texte", "Link javascript:alert(5) und mailto:x", "siehe javascript:alert(6)", "", "B-9", "2,00"]);
fs.writeFileSync(path.join(dir, "evil.csv"), Buffer.from(csv, "latin1"));

const words = ["Gießkanne", "Spaten", "Rechen", "Schlauch", "Hacke", "Schaufel", "Säge", "Schere", "Topf", "Dünger",
               "Erde", "Samen", "Handschuh", "Korb", "Besen", "Leiter", "Zange", "Bürste", "Eimer", "Wanne"];
let big = "";
for (let i = 0; i < n; i++) {
  const w = words[i % words.length];
  big += line([`Kategorie ${1 + Math.floor(i / 50)}`, `${w} Nr. ${i + 1}`,
               `${w} aus robustem Material, Größe ${1 + (i % 7)}, für Garten und Balkon. Artikel ${i + 1}.`,
               "", `A-${i + 1}`, `${(i % 90) + 1},95`]);
}
fs.writeFileSync(path.join(dir, "big.csv"), Buffer.from(big, "latin1"));
