#!/usr/bin/env python3
"""Writes the seeds of document_text_fuzzer into tests/fuzz/corpus/document_text/: a tiny
.docx, .odt and .epub of our own (the first byte chooses the reader: 3, 4, 5) and XML of each
dialect (0, 1, 2)."""
import io
import os
import zipfile

OUT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "document_text")
W = 'xmlns:w="http://schemas.openxmlformats.org/wordprocessingml/2006/main"'


def archive(entries):
    data = io.BytesIO()
    with zipfile.ZipFile(data, "w", zipfile.ZIP_DEFLATED) as z:
        for name, text in entries:
            info = zipfile.ZipInfo(name, date_time=(2026, 1, 1, 0, 0, 0))
            z.writestr(info, text, zipfile.ZIP_DEFLATED)
    return data.getvalue()


SEEDS = {
    "docx": b"\x03" + archive([
        ("word/document.xml", "<w:document %s><w:body><w:p><w:r><w:t>M\u00fcl</w:t></w:r><w:r>"
                              "<w:t>ler</w:t><w:tab/></w:r></w:p></w:body></w:document>" % W),
        ("word/header1.xml", "<w:hdr %s><w:p><w:r><w:t>x</w:t></w:r></w:p></w:hdr>" % W)]),
    "odt": b"\x04" + archive([
        ("content.xml", '<office:document-content xmlns:office="o" xmlns:text="t"><text:p>a'
                        "<text:span>b</text:span><text:s/>c</text:p><text:h>d</text:h>"
                        "</office:document-content>"),
        ("styles.xml", "<x/>")]),
    "epub": b"\x05" + archive([
        ("META-INF/container.xml", '<container><rootfiles><rootfile full-path="O/p.opf"/>'
                                   "</rootfiles></container>"),
        ("O/p.opf", '<package><manifest><item id="a" href="a%20b.xhtml" '
                    'media-type="application/xhtml+xml"/></manifest><spine><itemref idref="a"/>'
                    "</spine></package>"),
        ("O/a b.xhtml", "<!DOCTYPE html><html><head><title>t</title></head><body><p>M&nbsp;x"
                        "<br/>y</p></body></html>")]),
    "word.xml": b"\x00<w:p><w:r><w:t>a&amp;b</w:t></w:r><w:br/></w:p>",
    "odf.xml": b"\x01<text:p>a<text:tab/>b</text:p>",
    "xhtml.xml": b'\x02<!DOCTYPE x [<!ENTITY a "b">]><p>&a;</p>',
}

if __name__ == "__main__":
    os.makedirs(OUT, exist_ok=True)
    for name, data in SEEDS.items():
        with open(os.path.join(OUT, name), "wb") as f:
            f.write(data)
