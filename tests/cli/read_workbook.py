#!/usr/bin/python3
"""Reads a workbook with openpyxl, a reader independent of the one that wrote
it, and prints what a test checks as JSON: the sheet, its frozen pane and
filter, its page set-up, and every cell with its type, its value, its number
format and whether it is bold."""
import json
import sys

import openpyxl

book = openpyxl.load_workbook(sys.argv[1])
sheet = book.worksheets[0]
rows = []
for row in sheet.iter_rows():
    rows.append([{"type": cell.data_type, "value": cell.value, "bold": bool(cell.font and cell.font.b),
                  "format": cell.number_format} for cell in row])
widths = {letter: dimension.width for letter, dimension in sheet.column_dimensions.items()}
print(json.dumps({
    "sheets": book.sheetnames,
    "freeze": sheet.freeze_panes,
    "filter": sheet.auto_filter.ref,
    "rows": rows,
    "widths": widths,
    "orientation": sheet.page_setup.orientation,
    "paper": sheet.page_setup.paperSize,
    "fitToPage": bool(sheet.sheet_properties.pageSetUpPr and sheet.sheet_properties.pageSetUpPr.fitToPage),
    # An absent width means one page wide.
    "fitToWidth": sheet.page_setup.fitToWidth if sheet.page_setup.fitToWidth is not None else 1,
    "fitToHeight": sheet.page_setup.fitToHeight,
    "titleRows": sheet.print_title_rows,
}, default=str))
