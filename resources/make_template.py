#!/usr/bin/env python3
"""Makes BowlerData.xlsx, the default template of the bowler information workbook.

Each sheet is named like a statistics-sheet definition of the sample database and laid out for
the rows the program writes: row 1 the conditions, row 2 the column heads, from row 4 one row per
bowler (bowler N on row N + 3). The template gives those rows their look: column widths, bold
shaded heads, one decimal for averages and rates. The sheet "Month" also carries, beside each
bowler's row, the links to the bowler's monthly pages ("<ZEPA_Link_i_j>", shown only for filled
rows) and the reload button ("<ZEPA_R>"). Sheets whose names begin with "@" are filled but not
published.

Run: python3 resources/make_template.py resources/BowlerData.xlsx (standard library only).
"""
import sys
import zipfile
from xml.sax.saxutils import escape

FIRST_ROW = 4
LAST_ROW = 102  # bowler 99


def col_name(n):
    name = ""
    while n:
        n, r = divmod(n - 1, 26)
        name = chr(65 + r) + name
    return name


# Styles: 0 default, 1 head (bold, shaded, boxed, centred), 2 one decimal, 3 condition row
# (bold), 4 link cells (centred), 5 title (bold, larger).
STYLES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<numFmts count="1"><numFmt numFmtId="164" formatCode="0.0"/></numFmts>
<fonts count="3">
<font><sz val="11"/><name val="Noto Sans CJK JP"/><family val="3"/><charset val="128"/></font>
<font><b/><sz val="11"/><name val="Noto Sans CJK JP"/><family val="3"/><charset val="128"/></font>
<font><b/><sz val="14"/><color rgb="FF1F3864"/><name val="Noto Sans CJK JP"/><family val="3"/><charset val="128"/></font>
</fonts>
<fills count="3">
<fill><patternFill patternType="none"/></fill>
<fill><patternFill patternType="gray125"/></fill>
<fill><patternFill patternType="solid"><fgColor rgb="FFDDEBF7"/><bgColor indexed="64"/></patternFill></fill>
</fills>
<borders count="2">
<border><left/><right/><top/><bottom/><diagonal/></border>
<border><left style="thin"><color rgb="FF808080"/></left><right style="thin"><color rgb="FF808080"/></right><top style="thin"><color rgb="FF808080"/></top><bottom style="thin"><color rgb="FF808080"/></bottom><diagonal/></border>
</borders>
<cellStyleXfs count="1"><xf numFmtId="0" fontId="0" fillId="0" borderId="0"/></cellStyleXfs>
<cellXfs count="6">
<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0"/>
<xf numFmtId="0" fontId="1" fillId="2" borderId="1" xfId="0" applyFont="1" applyFill="1" applyBorder="1" applyAlignment="1"><alignment horizontal="center" vertical="center" wrapText="1"/></xf>
<xf numFmtId="164" fontId="0" fillId="0" borderId="0" xfId="0" applyNumberFormat="1"/>
<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1"/>
<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0" applyAlignment="1"><alignment horizontal="center"/></xf>
<xf numFmtId="0" fontId="2" fillId="0" borderId="0" xfId="0" applyFont="1"/>
</cellXfs>
<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>
</styleSheet>
"""


def sheet_xml(columns, extra_cells=(), merges=(), row_cells=None):
    """columns: list of (width, style) from column A; extra_cells: (ref, xml) for fixed cells;
    row_cells: function(row) -> list of cell xml for the bowler rows."""
    cols = "".join(
        '<col min="%d" max="%d" width="%s" style="%d" customWidth="1"/>' % (i + 1, i + 1, w, s)
        for i, (w, s) in enumerate(columns))
    rows = {1: [], 2: []}
    for ref, xml in extra_cells:
        r = int("".join(ch for ch in ref if ch.isdigit()))
        rows.setdefault(r, []).append(xml)
    if row_cells:
        for r in range(FIRST_ROW, LAST_ROW + 1):
            rows.setdefault(r, []).extend(row_cells(r))
    body = []
    for r in sorted(rows):
        style = {1: ' s="3" customFormat="1"', 2: ' s="1" customFormat="1" ht="30" customHeight="1"'}.get(r, "")
        body.append('<row r="%d"%s>%s</row>' % (r, style, "".join(rows[r])))
    merge_xml = ""
    if merges:
        merge_xml = '<mergeCells count="%d">%s</mergeCells>' % (
            len(merges), "".join('<mergeCell ref="%s"/>' % m for m in merges))
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
            'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
            '<sheetViews><sheetView workbookViewId="0"><pane xSplit="2" ySplit="3" topLeftCell="C4" '
            'activePane="bottomRight" state="frozen"/></sheetView></sheetViews>'
            '<sheetFormatPr defaultRowHeight="18"/>'
            '<cols>%s</cols><sheetData>%s</sheetData>%s'
            '<pageMargins left="0.7" right="0.7" top="0.75" bottom="0.75" header="0.3" footer="0.3"/>'
            '</worksheet>' % (cols, "".join(body), merge_xml))


def text_cell(ref, text, style=0):
    return '<c r="%s" s="%d" t="inlineStr"><is><t>%s</t></is></c>' % (ref, style, escape(text))


def lead(extra):
    """Columns A (number) and B (name), then the data columns."""
    return [(8, 4), (14, 0)] + extra


def month_link_cells(r):
    bowler = r - 3
    cells = []
    for j in range(12):
        ref = "%s%d" % (col_name(18 + j), r)  # R..AC
        placeholder = "<ZEPA_Link_%d_%d>" % (bowler, j)
        formula = 'IF($B%d="","","%s")' % (r, placeholder)
        cells.append('<c r="%s" s="4" t="str"><f>%s</f><v></v></c>' % (ref, escape(formula)))
    return cells


def make_sheets():
    one = (9, 2)
    num = (9, 0)
    sheets = []
    sheets.append(("AVG", sheet_xml(lead([(6, 4), (16, 0), (10, 0), (8, 0), (10, 0), (10, 0),
                                           (11, 0), (11, 0), one]))))
    sheets.append(("Recent", sheet_xml(lead([(10, 0), (8, 0), (10, 0), (10, 0), (11, 0), (11, 0),
                                              one, one, one, one]))))
    month_columns = lead([num, one] + [one] * 12 + [(3, 0)] + [(11, 4)] * 12)
    sheets.append(("Month", sheet_xml(
        month_columns,
        extra_cells=[("R1", text_cell("R1", "<ZEPA_R>", 4)), ("R2", text_cell("R2", "月間表", 1))],
        merges=["R2:AC2"],
        row_cells=month_link_cells)))
    sheets.append(("Rate", sheet_xml(lead([(16, 0)] + [one] * 8))))
    sheets.append(("Frame", sheet_xml(lead([one] * 80))))
    sheets.append(("Home", sheet_xml(lead([num] + [(7, 0)] * 31 + [num, one]))))
    sheets.append(("Profile", sheet_xml(lead([(6, 4), (16, 0), (14, 0), (14, 0), (24, 0), (8, 0),
                                               (8, 0), (8, 0), (24, 0), (16, 0), (12, 0), (14, 0),
                                               (14, 0)]))))
    sheets.append(("@All", sheet_xml(lead([num] * 440))))
    return sheets


def main(path):
    sheets = make_sheets()
    content_types = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                     '<Types xmlns="http://schemas.openxmlformats.org/package/2006/content-types">'
                     '<Default Extension="rels" ContentType="application/vnd.openxmlformats-package.relationships+xml"/>'
                     '<Default Extension="xml" ContentType="application/xml"/>'
                     '<Override PartName="/xl/workbook.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.sheet.main+xml"/>'
                     '<Override PartName="/xl/styles.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.styles+xml"/>'
                     + "".join('<Override PartName="/xl/worksheets/sheet%d.xml" ContentType="application/vnd.openxmlformats-officedocument.spreadsheetml.worksheet+xml"/>' % (i + 1)
                               for i in range(len(sheets)))
                     + '<Override PartName="/docProps/core.xml" ContentType="application/vnd.openxmlformats-package.core-properties+xml"/>'
                     '<Override PartName="/docProps/app.xml" ContentType="application/vnd.openxmlformats-officedocument.extended-properties+xml"/>'
                     '</Types>')
    root_rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                 '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                 '<Relationship Id="rId1" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/officeDocument" Target="xl/workbook.xml"/>'
                 '<Relationship Id="rId2" Type="http://schemas.openxmlformats.org/package/2006/relationships/metadata/core-properties" Target="docProps/core.xml"/>'
                 '<Relationship Id="rId3" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/extended-properties" Target="docProps/app.xml"/>'
                 '</Relationships>')
    workbook = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                '<workbook xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
                'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
                '<bookViews><workbookView activeTab="0"/></bookViews><sheets>'
                + "".join('<sheet name="%s" sheetId="%d" r:id="rId%d"/>' % (escape(n), i + 1, i + 1)
                          for i, (n, _) in enumerate(sheets))
                + '</sheets><calcPr calcId="191029" fullCalcOnLoad="1"/></workbook>')
    workbook_rels = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
                     '<Relationships xmlns="http://schemas.openxmlformats.org/package/2006/relationships">'
                     + "".join('<Relationship Id="rId%d" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/worksheet" Target="worksheets/sheet%d.xml"/>' % (i + 1, i + 1)
                               for i in range(len(sheets)))
                     + '<Relationship Id="rId%d" Type="http://schemas.openxmlformats.org/officeDocument/2006/relationships/styles" Target="styles.xml"/>' % (len(sheets) + 1)
                     + '</Relationships>')
    core = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<cp:coreProperties xmlns:cp="http://schemas.openxmlformats.org/package/2006/metadata/core-properties" '
            'xmlns:dc="http://purl.org/dc/elements/1.1/"><dc:title>ボウラー情報</dc:title></cp:coreProperties>')
    app = ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
           '<Properties xmlns="http://schemas.openxmlformats.org/officeDocument/2006/extended-properties">'
           '<Application>Lanereport</Application></Properties>')
    with zipfile.ZipFile(path, "w", zipfile.ZIP_DEFLATED) as z:
        # A fixed date keeps the file the same from run to run.
        def add(name, data):
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            info.compress_type = zipfile.ZIP_DEFLATED
            z.writestr(info, data.encode("utf-8"))
        add("[Content_Types].xml", content_types)
        add("_rels/.rels", root_rels)
        add("docProps/core.xml", core)
        add("docProps/app.xml", app)
        add("xl/workbook.xml", workbook)
        add("xl/_rels/workbook.xml.rels", workbook_rels)
        add("xl/styles.xml", STYLES)
        for i, (_, xml) in enumerate(sheets):
            add("xl/worksheets/sheet%d.xml" % (i + 1), xml)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "BowlerData.xlsx")
