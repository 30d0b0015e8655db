#!/usr/bin/env python3
"""Makes BowlerData.xlsx, the default template of the bowler information workbook.

Each sheet is named like a statistics-sheet definition of the sample database and laid out for
the rows the program writes: row 1 the conditions, row 2 the column heads, from row 4 one row per
bowler (bowler N on row N + 3). Row 3, which the program leaves empty, is hidden, so the heads
sit right above the first bowler. The template gives those rows their look: bold shaded heads
wrapped over up to three lines, one decimal for averages and rates, and columns wide enough for
the texts the sample database puts into them (conditions, heads, names, e-mail addresses,
profile texts), measured with the font's widths below. The sheet "Month" also carries, beside
each bowler's row, the links to the bowler's monthly pages ("<ZEPA_Link_i_j>", shown only for
filled rows) and the reload button ("<ZEPA_R>"). Sheets whose names begin with "@" are filled
but not published.

Every sheet prints on A4 landscape, scaled to the width of one page, with the condition row and
the heads repeated on every page and the page number in the footer.

The font is Arial, which Excel has everywhere and LibreOffice shows as its metric twin Liberation
Sans; its character set is Japanese (128), so both take the Japanese letters from the system's
Japanese font (Yu Gothic or MS PGothic under Windows, Noto Sans CJK JP under Debian).

Run: python3 resources/make_template.py resources/BowlerData.xlsx (standard library only).
"""
import math
import sys
import unicodedata
import zipfile
from xml.sax.saxutils import escape

FIRST_ROW = 4
LAST_ROW = 102  # bowler 99
FONT = "Arial"
FONT_PX = 11 * 96 / 72  # 11 points at 96 dots per inch

# Arial's advance widths of the ASCII characters in thousandths of the font size (regular, bold).
ARIAL = {
    " ": (278, 278), "!": (278, 333), "(": (333, 333), ")": (333, 333), "-": (333, 333),
    ".": (278, 278), "/": (278, 278), ":": (278, 333), "@": (1015, 975), "_": (556, 556),
    "<": (584, 584), ">": (584, 584), "&": (667, 722), "%": (889, 889), "'": (191, 238),
}
for ch in "0123456789":
    ARIAL[ch] = (556, 556)
for ch, reg, bold in zip("abcdefghijklmnopqrstuvwxyz",
                         [556, 556, 500, 556, 556, 278, 556, 556, 222, 222, 500, 222, 833,
                          556, 556, 556, 556, 333, 500, 278, 556, 500, 722, 500, 500, 500],
                         [556, 611, 556, 611, 556, 333, 611, 611, 278, 278, 556, 278, 889,
                          611, 611, 611, 611, 389, 556, 333, 611, 556, 778, 556, 556, 500]):
    ARIAL[ch] = (reg, bold)
for ch, reg, bold in zip("ABCDEFGHIJKLMNOPQRSTUVWXYZ",
                         [667, 667, 722, 722, 667, 611, 778, 722, 278, 500, 667, 556, 833,
                          722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611],
                         [722, 722, 722, 722, 667, 611, 778, 722, 278, 556, 722, 611, 833,
                          722, 778, 667, 778, 722, 667, 611, 722, 667, 944, 667, 667, 611]):
    ARIAL[ch] = (reg, bold)

# The published pages and the spreadsheets give a column 7 pixels per unit of width (Excel gives
# Arial 8, so a column that fits on the page fits in the spreadsheet too); a cell keeps 2 pixels
# free on each side.
PX_PER_UNIT = 7
CELL_PADDING_PX = 4
HEAD_LINES = 3
SHORT_HEAD = 12  # units
WIDE_HEAD = 12
LINE_PT = 17  # one line of 11-point text with a Japanese font, in points


def char_px(ch, bold):
    if ch in ARIAL:
        return ARIAL[ch][1 if bold else 0] * FONT_PX / 1000
    if unicodedata.east_asian_width(ch) in ("W", "F"):
        return FONT_PX  # Japanese letters are one em wide
    if unicodedata.east_asian_width(ch) == "H":
        return FONT_PX / 2  # half-width katakana
    return 0.6 * FONT_PX


def text_px(text, bold=False):
    return sum(char_px(ch, bold) for ch in text)


def units_for(px):
    """The column width, in half units, that holds px pixels of text."""
    return math.ceil((px + CELL_PADDING_PX + 1) / PX_PER_UNIT * 2) / 2


def wrapped_lines(text, width_units, bold=True):
    """How many lines the text takes in a column of that width: Japanese letters break anywhere,
    a run of other characters breaks only after a space or a hyphen."""
    room = width_units * PX_PER_UNIT - CELL_PADDING_PX
    pieces, run = [], ""
    for ch in text:
        if unicodedata.east_asian_width(ch) in ("W", "F"):
            if run:
                pieces.append(run)
                run = ""
            pieces.append(ch)
        else:
            run += ch
            if ch in " -":
                pieces.append(run)
                run = ""
    if run:
        pieces.append(run)
    lines, used = 1, 0.0
    for piece in pieces:
        w = text_px(piece, bold)
        if used and used + w > room:
            lines, used = lines + 1, 0.0
        used += w
    return lines


def narrowest(head, lines):
    """The narrowest width (half units) in which the head takes at most that many lines."""
    width = 4.0
    while wrapped_lines(head, width) > lines:
        width += 0.5
    return width


def head_units(head):
    """The width a head asks for: one line when that takes at most SHORT_HEAD units, else two
    lines at most, unless that takes more than WIDE_HEAD units; then three."""
    one = narrowest(head, 1)
    if one <= SHORT_HEAD:
        return one
    two = narrowest(head, 2)
    return two if two <= WIDE_HEAD else max(narrowest(head, HEAD_LINES), WIDE_HEAD)


def col_name(n):
    name = ""
    while n:
        n, r = divmod(n - 1, 26)
        name = chr(65 + r) + name
    return name


# Styles: 0 default, 1 head (bold, shaded, boxed, centred, wrapped), 2 one decimal, 3 condition
# row (bold), 4 link cells (centred), 5 title (bold, larger).
FONT_XML = '<sz val="%d"/>%s<name val="' + FONT + '"/><family val="2"/><charset val="128"/>'
STYLES = """<?xml version="1.0" encoding="UTF-8" standalone="yes"?>
<styleSheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main">
<numFmts count="1"><numFmt numFmtId="164" formatCode="0.0"/></numFmts>
<fonts count="3">
<font>%s</font>
<font><b/>%s</font>
<font><b/>%s</font>
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
<xf numFmtId="0" fontId="1" fillId="0" borderId="0" xfId="0" applyFont="1" applyAlignment="1"><alignment vertical="center"/></xf>
<xf numFmtId="0" fontId="0" fillId="0" borderId="0" xfId="0" applyAlignment="1"><alignment horizontal="center"/></xf>
<xf numFmtId="0" fontId="2" fillId="0" borderId="0" xfId="0" applyFont="1"/>
</cellXfs>
<cellStyles count="1"><cellStyle name="Normal" xfId="0" builtinId="0"/></cellStyles>
</styleSheet>
""" % (FONT_XML % (11, ""), FONT_XML % (11, ""), FONT_XML % (14, '<color rgb="FF1F3864"/>'))

# ---- What the program writes into each sheet (the sample database's definitions) ----

DASHES = "-" * 22  # the alley or level text of a definition that picks all of them
CENTRE = "サンライズボウル"  # the longest centre name of the sample
DATE = "2026/12/31"
CONDITIONS_BY_PERIOD = ["出力条件", "ボウリング場", [DASHES, CENTRE], "レベル", [DASHES, "リーグ戦"],
                        "期間", DATE, "～", DATE]
CONDITIONS_BY_COUNT = ["出力条件", "ボウリング場", [DASHES, CENTRE], "レベル", [DASHES, "リーグ戦"],
                       "GAME数", DATE, "から過去", "30", "Game"]

LONGEST_NAME = "長谷川　真由美"
LONGEST_MAIL = "hasegawatsuyoshi@example.jp"
PROFILE_TEXTS = {  # the longest text of each profile column of the sample
    2: "センター公認インストラクター", 3: "アベレージ200を目指して", 4: "初心忘るべからず",
    5: "185cm", 6: "100kg", 7: "右", 8: LONGEST_MAIL, 9: "15ポンド ウレタン（スペア用ポリ）",
    10: "リスタイ使用", 11: "右投げ用 スライドソール", 12: "3ボール ローラー",
}
SINGLE_HEADS = ["性別", "称号", "肩書きA", "肩書きB", "座右の銘", "身長", "体重", "利き腕",
                "メールアドレス", "ボール", "リスタイ", "シューズ", "バッグ", "スコア合計", "ゲーム数"]
SERIES_HEADS = ["ハイスコア", "ロースコア", "ハイシリーズ", "ローシリーズ"]
RATES = ["ストライク", "サイド", "スペア", "オープン", "ガター", "ファール", "スプリット",
         "スプリットカバー"]
FRAMES = ["１", "２", "３", "４", "５", "６", "７", "８", "９", "１０"]
MONTHS = ["2026年%02d月" % m for m in range(1, 13)]


def switch_columns(switch):
    """(head, widest value, style) of each column a column switch writes."""
    if switch == 0:
        return [("性別", "男", 4)]
    if switch == 1:
        return [("称号", "ダーティーシューズ", 0)]
    if switch < 13:
        return [(SINGLE_HEADS[switch], PROFILE_TEXTS[switch], 0)]
    if switch in (13, 14):
        return [(SINGLE_HEADS[switch], "99999", 0)]
    if switch == 15:
        heads = ["スコア分布%d-%d" % (k * 10, k * 10 + 9) for k in range(30)] + ["スコア分布300"]
        return [(h, "999", 0) for h in heads]
    if switch < 20:
        return [(SERIES_HEADS[switch - 16], "999", 0)]
    if switch < 28:
        return [("全体／%s確率" % RATES[switch - 20], "100.0", 2)]
    if switch < 36:
        return [("%sフレーム／%s確率" % (f, RATES[switch - 28]), "100.0", 2) for f in FRAMES]
    if switch == 36:
        return [("合計AVG", "300.0", 2)]
    return [(m, "300.0", 2) for m in MONTHS]


class Column:
    def __init__(self, head, value, style, condition=()):
        self.head, self.style = head, style
        width = max([units_for(text_px(value)), head_units(head), 5.0] +
                    [units_for(text_px(c, bold=True)) for c in condition])
        self.width = width

    def head_lines(self):
        return wrapped_lines(self.head, self.width)


def lay_out(switches, by_period=True):
    """The columns of a sheet: number and name, then the columns of each switch in order."""
    conditions = CONDITIONS_BY_PERIOD if by_period else CONDITIONS_BY_COUNT
    cols = [Column("優先順位", "99", 4), Column("ボウラー名", LONGEST_NAME, 0)]
    for s in switches:
        cols.extend(Column(*c) for c in switch_columns(s))
    for i, cond in enumerate(conditions):
        texts = cond if isinstance(cond, list) else [cond]
        c = cols[i]
        c.width = max([c.width] + [units_for(text_px(t, bold=True)) for t in texts])
    return cols


def sheet_xml(columns, heads_height, extra_cells=(), merges=(), row_cells=None):
    """columns: list of (width, style) from column A; heads_height: the height of row 2 in
    points; extra_cells: (ref, xml) for fixed cells; row_cells: function(row) -> list of cell xml
    for the bowler rows."""
    cols = "".join(
        '<col min="%d" max="%d" width="%s" style="%d" customWidth="1"/>' % (i + 1, i + 1, w, s)
        for i, (w, s) in enumerate(columns))
    rows = {1: [], 2: [], 3: []}
    for ref, xml in extra_cells:
        r = int("".join(ch for ch in ref if ch.isdigit()))
        rows.setdefault(r, []).append(xml)
    if row_cells:
        for r in range(FIRST_ROW, LAST_ROW + 1):
            rows.setdefault(r, []).extend(row_cells(r))
    row_attrs = {
        1: ' s="3" customFormat="1" ht="20" customHeight="1"',
        2: ' s="1" customFormat="1" ht="%d" customHeight="1"' % heads_height,
        3: ' hidden="1"',
    }
    body = []
    for r in sorted(rows):
        body.append('<row r="%d"%s>%s</row>' % (r, row_attrs.get(r, ""), "".join(rows[r])))
    merge_xml = ""
    if merges:
        merge_xml = '<mergeCells count="%d">%s</mergeCells>' % (
            len(merges), "".join('<mergeCell ref="%s"/>' % m for m in merges))
    return ('<?xml version="1.0" encoding="UTF-8" standalone="yes"?>\n'
            '<worksheet xmlns="http://schemas.openxmlformats.org/spreadsheetml/2006/main" '
            'xmlns:r="http://schemas.openxmlformats.org/officeDocument/2006/relationships">'
            '<sheetPr><pageSetUpPr fitToPage="1"/></sheetPr>'
            '<sheetViews><sheetView workbookViewId="0"><pane xSplit="2" ySplit="3" topLeftCell="C4" '
            'activePane="bottomRight" state="frozen"/></sheetView></sheetViews>'
            '<sheetFormatPr defaultRowHeight="18"/>'
            '<cols>%s</cols><sheetData>%s</sheetData>%s'
            '<printOptions horizontalCentered="1"/>'
            '<pageMargins left="0.4" right="0.4" top="0.6" bottom="0.6" header="0.3" footer="0.3"/>'
            '<pageSetup paperSize="9" orientation="landscape" fitToWidth="1" fitToHeight="0"/>'
            '<headerFooter><oddHeader>&amp;L&amp;A</oddHeader><oddFooter>&amp;C&amp;P / &amp;N</oddFooter>'
            '</headerFooter>'
            '</worksheet>' % (cols, "".join(body), merge_xml))


def text_cell(ref, text, style=0):
    return '<c r="%s" s="%d" t="inlineStr"><is><t>%s</t></is></c>' % (ref, style, escape(text))


def month_link_cells(r):
    bowler = r - 3
    cells = []
    for j in range(12):
        ref = "%s%d" % (col_name(18 + j), r)  # R..AC
        placeholder = "<ZEPA_Link_%d_%d>" % (bowler, j)
        formula = 'IF($B%d="","","%s")' % (r, placeholder)
        cells.append('<c r="%s" s="4" t="str"><f>%s</f><v></v></c>' % (ref, escape(formula)))
    return cells


def heads_height(columns):
    return max(c.head_lines() for c in columns) * LINE_PT + 4


# The sample database's sheet definitions: name, column switches, by period (else by count).
SHEETS = [
    ("AVG", [0, 1, 13, 14, 16, 17, 18, 19, 36], True),
    ("Recent", [13, 14, 16, 17, 18, 19, 20, 22, 23, 36], False),
    ("Month", [14, 36, 37], True),
    ("Rate", [1, 20, 21, 22, 23, 24, 25, 26, 27], True),
    ("Frame", list(range(28, 36)), True),
    ("Home", [14, 15, 16, 36], True),
    ("Profile", list(range(13)), True),
    ("@All", list(range(38)), True),
]


def quote_sheet(name):
    """The sheet name as a reference writes it: quoted, with quotes doubled."""
    return "'" + name.replace("'", "''") + "'"


def make_sheets():
    sheets = []
    for name, switches, by_period in SHEETS:
        columns = lay_out(switches, by_period)
        if name == "Home":  # the home lane, every level, the long level text
            columns[2].width = max(columns[2].width, units_for(text_px("ホームレーン", True)))
            columns[4].width = max(columns[4].width,
                                   units_for(text_px("成績算出レベル外含むすべて", True)))
        layout = [(c.width, c.style) for c in columns]
        height = heads_height(columns)
        if name == "Month":
            # Q a narrow gap, R..AC the links to the monthly pages under the head "月間表".
            layout += [(3, 0)] + [(units_for(text_px("2026年12月")), 4)] * 12
            sheets.append((name, sheet_xml(
                layout, height,
                extra_cells=[("R1", text_cell("R1", "<ZEPA_R>", 4)),
                             ("R2", text_cell("R2", "月間表", 1))],
                merges=["R2:AC2"], row_cells=month_link_cells)))
        else:
            sheets.append((name, sheet_xml(layout, height)))
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
                + '</sheets>'
                # Every printed page repeats the condition row and the heads.
                + '<definedNames>'
                + "".join('<definedName name="_xlnm.Print_Titles" localSheetId="%d">%s!$1:$2</definedName>'
                          % (i, escape(quote_sheet(n))) for i, (n, _) in enumerate(sheets))
                + '</definedNames>'
                + '<calcPr calcId="191029" fullCalcOnLoad="1"/></workbook>')
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
