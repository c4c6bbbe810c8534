#!/usr/bin/python3
"""Independent reader and fixture maker for the spreadsheet writer's tests (openpyxl).

dump PATH                 print the workbook as JSON (sheets, cells, alignment, widths, merges,
                          defined names, calculation flags)
raw PATH PART             print one part of the package
make KIND PATH [ROWS] [XML]
                          write a fixture workbook of KIND (see MAKERS); XML is the text the
                          "sheet" and "workbook-tail" kinds put in
"""
import io
import json
import sys
import zipfile

import openpyxl
from openpyxl.chart import BarChart, Reference
from openpyxl.styles import Alignment, Font, PatternFill
from openpyxl.workbook.defined_name import DefinedName


def cell_record(cell):
    value = cell.value
    return {
        "v": value if isinstance(value, (str, int, float, bool)) or value is None else str(value),
        "type": type(value).__name__,
        "h": cell.alignment.horizontal,
        "bold": bool(cell.font.b),
        "color": cell.font.color.rgb if cell.font.color is not None and isinstance(cell.font.color.rgb, str) else None,
        "fill": cell.fill.fgColor.rgb if cell.fill.fill_type else None,
        "fmt": cell.number_format,
    }


def dump(path):
    wb = openpyxl.load_workbook(path)
    out = {
        "sheets": wb.sheetnames,
        "active": wb.active.title,
        "fullCalcOnLoad": bool(wb.calculation.fullCalcOnLoad),
        "names": {d.name: d.attr_text for d in wb.defined_names.definedName},
        "cells": {},
        "widths": {},
        "merged": {},
        "states": {},
    }
    for ws in wb.worksheets:
        out["states"][ws.title] = ws.sheet_state
        cells = {}
        for row in ws.iter_rows():
            for cell in row:
                if cell.value is not None or cell.has_style:
                    cells[cell.coordinate] = cell_record(cell)
        out["cells"][ws.title] = cells
        out["widths"][ws.title] = {k: v.width for k, v in ws.column_dimensions.items() if v.customWidth}
        out["merged"][ws.title] = sorted(str(r) for r in ws.merged_cells.ranges)
    json.dump(out, sys.stdout, ensure_ascii=False)


def to_shared_strings(path):
    """Moves every inline string of the package into a shared string table, as most producers
    store text (this openpyxl writes inline strings)."""
    import re
    with zipfile.ZipFile(path) as z:
        parts = {i.filename: z.read(i.filename) for i in z.infolist()}
    table, index = [], {}

    def shared(match):
        text = match.group(2)
        if text not in index:
            index[text] = len(table)
            table.append(text)
        return '%s t="s"><v>%d</v></c>' % (match.group(1), index[text])
    for name in list(parts):
        if name.startswith("xl/worksheets/sheet"):
            parts[name] = re.sub(r'(<c r="[A-Z]+[0-9]+"(?: s="[0-9]+")?) t="inlineStr"><is>(<t[^>]*>.*?</t>)</is></c>',
                                 shared, parts[name].decode()).encode()
    sst = ('<sst xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" count="%d" uniqueCount="%d">'
           % (len(table), len(table))) + "".join("<si>%s</si>" % t for t in table) + "</sst>"
    parts["xl/sharedStrings.xml"] = sst.encode()
    parts["xl/_rels/workbook.xml.rels"] = parts["xl/_rels/workbook.xml.rels"].replace(
        b"</Relationships>",
        b'<Relationship Id="rIdSst" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/'
        b'sharedStrings" Target="sharedStrings.xml"/></Relationships>')
    parts["[Content_Types].xml"] = parts["[Content_Types].xml"].replace(
        b"</Types>",
        b'<Override PartName="/xl/sharedStrings.xml" ContentType="application/'
        b'vnd.openxmlformats-officedocument.spreadsheetml.sharedStrings+xml"/></Types>')
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in parts.items():
            z.writestr(name, data)


def make_rich(path, rows):
    wb = openpyxl.Workbook()
    notes = wb.active
    notes.title = "Notes"
    notes["A1"] = "Customer"
    notes["A1"].font = Font(b=True)
    notes["B1"] = "=Spec!B2"
    notes["B2"] = "=SUM(1,2)"
    notes["C3"] = 3.5
    spec = wb.create_sheet("Spec")
    spec["A1"] = "old title"
    spec["A1"].font = Font(b=True, color="FFFF0000")
    spec["B2"] = 42
    spec["B2"].fill = PatternFill("solid", fgColor="FF00FF00")
    spec["B2"].alignment = Alignment(vertical="top")
    spec["C1"] = "=1+1"
    spec["K2"] = "old count"
    spec["K2"].alignment = Alignment(horizontal="left")
    spec["R1"] = "beyond Q"
    spec["R2"] = "=A2&B2"
    spec["Z5"] = "far"
    spec["A3"] = "row three"
    spec["D5"] = "=B2*2"
    spec["E7"] = 0.25
    spec["E7"].number_format = "0.00%"
    spec.merge_cells("S3:T4")
    spec.merge_cells("A9:C9")
    spec.column_dimensions["R"].width = 30
    spec.column_dimensions["Q"].width = 12
    for r in range(10, 10 + rows):
        spec.cell(row=r, column=1, value="item %d" % r)
        spec.cell(row=r, column=2, value=r)
        spec.cell(row=r, column=3, value="=B%d*2" % r)
    hidden = wb.create_sheet("Hidden")
    hidden["A1"] = "secret"
    hidden.sheet_state = "hidden"
    wb.defined_names.append(DefinedName("Total", attr_text="Spec!$B$2"))
    wb.defined_names.append(DefinedName("Customer", attr_text="Notes!$A$1"))
    wb.active = 1
    wb.save(path)
    to_shared_strings(path)


def make_big(path, rows):
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.title = "Data"
    for c in range(1, 18):
        ws.cell(row=1, column=c, value="title %d" % c)
        ws.cell(row=2, column=c, value="value %d" % c)
    for r in range(3, 3 + rows):
        ws.cell(row=r, column=1, value="name %d" % r)
        ws.cell(row=r, column=2, value=r * 1.5)
        ws.cell(row=r, column=3, value="group %d" % (r % 17))
        ws.cell(row=r, column=4, value="note %d with some longer text to fill the file" % r)
        ws.cell(row=r, column=20, value="beyond %d" % r)
    wb.save(path)
    to_shared_strings(path)


def make_chartsheet(path, rows):
    wb = openpyxl.Workbook()
    ws = wb.active
    for r in range(1, 5):
        ws.append([r, r * r])
    chart = BarChart()
    chart.add_data(Reference(ws, min_col=2, min_row=1, max_row=4))
    cs = wb.create_chartsheet("Chart")
    cs.add_chart(chart)
    wb.active = 1
    wb.save(path)


def rewrite_zip(path, edit):
    """Writes a plain workbook, then passes every (name, bytes) through edit (None drops it)."""
    buffer = io.BytesIO()
    wb = openpyxl.Workbook()
    wb.active["A1"] = "plain"
    wb.active["A2"] = "=ROW()"
    wb.save(buffer)
    with zipfile.ZipFile(io.BytesIO(buffer.getvalue())) as src, zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as dst:
        for info in src.infolist():
            data = edit(info.filename, src.read(info.filename))
            if data is not None:
                dst.writestr(info.filename, data)


def make_strict(path, rows):
    def edit(name, data):
        return (data.replace(b"http://schemas.openxmlformats.org/spreadsheetml/2006/main",
                             b"http://purl.oclc.org/ooxml/spreadsheetml/main")
                .replace(b"http://schemas.openxmlformats.org/officeDocument/2006/relationships",
                         b"http://purl.oclc.org/ooxml/officeDocument/relationships"))
    rewrite_zip(path, edit)


def make_no_workbook(path, rows):
    rewrite_zip(path, lambda name, data: None if name == "xl/workbook.xml" else data)


def make_shared_formula(path, rows):
    # A shared formula anchored in A2 and filled down to A9: writing A2 would orphan A3:A9.
    def edit(name, data):
        if name != "xl/worksheets/sheet1.xml":
            return data
        text = data.decode()
        cells = "".join('<row r="%d"><c r="A%d"><f t="shared" si="0"/><v>%d</v></c></row>' % (r, r, r)
                        for r in range(3, 10))
        text = text.replace('<c r="A2"><f>ROW()</f><v></v></c></row>',
                            '<c r="A2"><f t="shared" ref="A2:A9" si="0">ROW()</f><v>2</v></c></row>' + cells)
        text = text.replace("<dimension ref=\"A1:A2\"/>", "<dimension ref=\"A1:A9\"/>")
        if 'ref="A2:A9"' not in text:
            raise SystemExit("fixture: sheet layout changed: " + text)
        return text.encode()
    rewrite_zip(path, edit)


def make_no_calc(path, rows):
    # No calculation properties at all, and a formula with a cached value below the two rows.
    import re

    def edit(name, data):
        if name == "xl/workbook.xml":
            return re.sub(rb"<calcPr[^>]*/>", b"", data)
        if name == "xl/worksheets/sheet1.xml":
            text = data.decode().replace(
                "</row></sheetData>",
                '</row><row r="5"><c r="A5" t="str"><f>A1&amp;"!"</f><v>plain!</v></c>'
                '<c r="B5" t="inlineStr"><is><t xml:space="preserve"> </t></is></c></row></sheetData>')
            if "plain!" not in text:
                raise SystemExit("fixture: sheet layout changed: " + text)
            return text.encode()
        return data
    rewrite_zip(path, edit)


def raw(path, part):
    with zipfile.ZipFile(path) as z:
        sys.stdout.write(z.read(part).decode())


def make_protected(path, rows):
    wb = openpyxl.Workbook()
    wb.active["A1"] = "locked"
    wb.active.protection.sheet = True
    wb.save(path)


def make_cross(path, rows):
    # Formulas on other sheets with cached values: one reads the written sheet by name, one
    # through a defined name, one reads nothing of it.
    import re
    wb = openpyxl.Workbook()
    spec = wb.active
    spec.title = "Spec"
    spec["A1"] = "x"
    wb.create_sheet("Notes")["B1"] = "=Spec!A1"
    wb.create_sheet("Other")["A1"] = "=1+1"
    wb.create_sheet("Named")["A1"] = "=Total*2"
    wb.defined_names.append(DefinedName("Total", attr_text="Spec!$B$2"))
    wb.save(path)
    with zipfile.ZipFile(path) as z:
        parts = {i.filename: z.read(i.filename) for i in z.infolist()}
    for name in parts:
        if name.startswith("xl/worksheets/sheet"):
            parts[name] = re.sub(rb"<v></v>|<v ?/>", b"<v>cached</v>", parts[name])
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        for name, data in parts.items():
            z.writestr(name, data)


def make_table(path, rows):
    from openpyxl.worksheet.table import Table
    wb = openpyxl.Workbook()
    ws = wb.active
    ws.append(["Name", "Count"])
    ws.append(["a", 1])
    ws.append(["b", 2])
    ws.add_table(Table(displayName="Stock", ref="A1:B3"))
    wb.save(path)


def replace_sheet(sheet_xml, drop_styles=False):
    """A plain package whose first worksheet is sheet_xml (optionally without a style part)."""
    def edit(name, data):
        if name == "xl/worksheets/sheet1.xml":
            return sheet_xml.encode()
        if drop_styles and name == "xl/styles.xml":
            return None
        if drop_styles and name in ("xl/_rels/workbook.xml.rels", "[Content_Types].xml"):
            import re
            text = data.decode()
            text = re.sub(r'<Relationship [^>]*styles"[^>]*/>|<Relationship [^>]*Target="[^"]*styles.xml"[^>]*/>', "", text)
            text = re.sub(r'<Override PartName="/xl/styles.xml"[^>]*/>', "", text)
            return text.encode()
        return data
    return edit


MAIN = "http://schemas.openxmlformats.org/spreadsheetml/2006/main"


def make_prefixed(path, rows):
    # Prefixed element names, rows and cells without numbers, no style part at all.
    cell = '<x:c t="inlineStr"><x:is><x:t>%s</x:t></x:is></x:c>'
    sheet = ('<x:worksheet xmlns:x="%s"><x:sheetData>' % MAIN +
             "".join("<x:row>%s%s</x:row>" % (cell % ("r%da" % r), cell % ("r%db" % r)) for r in range(1, 5)) +
             "</x:sheetData></x:worksheet>")
    rewrite_zip(path, replace_sheet(sheet, drop_styles=True))


def make_unordered(path, rows):
    # Rows out of order (row 1 after row 3) and a row style on row 2's missing cells.
    sheet = ('<worksheet xmlns="%s"><sheetData>'
             '<row r="3"><c r="A3" t="inlineStr"><is><t>three</t></is></c>'
             '<c r="B3" t="inlineStr"><is><t xml:space="preserve"> </t></is></c></row>'
             '<row r="1"><c r="C1" t="inlineStr"><is><t>one</t></is></c></row>'
             '<row r="5"><c r="A5"><f>A3&amp;"!"</f><v>three!</v></c></row>'
             '</sheetData></worksheet>' % MAIN)
    rewrite_zip(path, replace_sheet(sheet))


def make_sheet(path, rows, xml):
    # A plain package whose worksheet holds exactly xml (inside the worksheet element).
    rewrite_zip(path, replace_sheet('<worksheet xmlns="%s">%s</worksheet>' % (MAIN, xml)))


def make_workbook_tail(path, rows, xml):
    # A plain package whose workbook part has xml after its root element.
    def edit(name, data):
        return data + xml.encode() if name == "xl/workbook.xml" else data
    rewrite_zip(path, edit)


def make_other_zip(path, rows):
    with zipfile.ZipFile(path, "w") as z:
        z.writestr("readme.txt", "not a workbook")


MAKERS = {
    "rich": make_rich,
    "big": make_big,
    "chartsheet": make_chartsheet,
    "strict": make_strict,
    "no-workbook": make_no_workbook,
    "shared-formula": make_shared_formula,
    "other-zip": make_other_zip,
    "no-calc": make_no_calc,
    "table": make_table,
    "cross": make_cross,
    "protected": make_protected,
    "prefixed": make_prefixed,
    "unordered": make_unordered,
    "sheet": make_sheet,
    "workbook-tail": make_workbook_tail,
}

if __name__ == "__main__":
    if sys.argv[1] == "dump":
        dump(sys.argv[2])
    elif sys.argv[1] == "raw":
        raw(sys.argv[2], sys.argv[3])
    elif sys.argv[1] == "make":
        rows = int(sys.argv[4]) if len(sys.argv) > 4 else 0
        MAKERS[sys.argv[2]](sys.argv[3], rows, *[a for a in sys.argv[5:] if a])
    else:
        raise SystemExit(__doc__)
