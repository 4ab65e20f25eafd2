#!/usr/bin/env bash
# Writes the word-processor source documents (flat OpenDocument text) and
# converts them to RTF with LibreOffice. Run by hand when the fixtures change;
# the .rtf results are committed and the tests only read those.
#   apt-get install -y libreoffice-writer-nogui
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

head='<?xml version="1.0" encoding="UTF-8"?>
<office:document xmlns:office="urn:oasis:names:tc:opendocument:xmlns:office:1.0"
 xmlns:style="urn:oasis:names:tc:opendocument:xmlns:style:1.0"
 xmlns:text="urn:oasis:names:tc:opendocument:xmlns:text:1.0"
 xmlns:table="urn:oasis:names:tc:opendocument:xmlns:table:1.0"
 xmlns:draw="urn:oasis:names:tc:opendocument:xmlns:drawing:1.0"
 xmlns:fo="urn:oasis:names:tc:opendocument:xmlns:xsl-fo-compatible:1.0"
 xmlns:xlink="http://www.w3.org/1999/xlink"
 xmlns:svg="urn:oasis:names:tc:opendocument:xmlns:svg-compatible:1.0"
 office:version="1.2" office:mimetype="application/vnd.oasis.opendocument.text">
 <office:font-face-decls>
  <style:font-face style:name="Liberation Sans" svg:font-family="&apos;Liberation Sans&apos;"/>
  <style:font-face style:name="Liberation Serif" svg:font-family="&apos;Liberation Serif&apos;"/>
 </office:font-face-decls>
 <office:styles>
  <style:default-style style:family="paragraph">
   <style:text-properties style:font-name="Liberation Sans" fo:font-size="12pt"/>
  </style:default-style>
 </office:styles>'

cat > "$work/formatting.fodt" <<XML
$head
 <office:automatic-styles>
  <style:style style:name="T1" style:family="text"><style:text-properties fo:font-weight="bold"/></style:style>
  <style:style style:name="T2" style:family="text"><style:text-properties fo:font-style="italic"/></style:style>
  <style:style style:name="T3" style:family="text"><style:text-properties style:text-underline-style="solid" style:text-underline-width="auto" style:text-underline-color="font-color"/></style:style>
  <style:style style:name="T4" style:family="text"><style:text-properties fo:color="#c00000"/></style:style>
  <style:style style:name="T5" style:family="text"><style:text-properties fo:background-color="#ffff00"/></style:style>
  <style:style style:name="T6" style:family="text"><style:text-properties style:font-name="Liberation Serif" fo:font-size="16pt"/></style:style>
  <style:style style:name="P1" style:family="paragraph"><style:paragraph-properties fo:text-align="center"/></style:style>
  <style:style style:name="P2" style:family="paragraph"><style:paragraph-properties fo:text-align="end"/></style:style>
  <style:style style:name="P3" style:family="paragraph"><style:paragraph-properties fo:margin-left="1in" fo:text-indent="0in"/></style:style>
 </office:automatic-styles>
 <office:body><office:text>
  <text:p>Plain <text:span text:style-name="T1">bold</text:span> <text:span text:style-name="T2">italic</text:span> <text:span text:style-name="T3">underlined</text:span> <text:span text:style-name="T4">red</text:span> <text:span text:style-name="T5">marked</text:span> <text:span text:style-name="T6">large serif</text:span> end.</text:p>
  <text:p text:style-name="P1">Centred paragraph</text:p>
  <text:p text:style-name="P2">Right paragraph</text:p>
  <text:p text:style-name="P3">Indented one inch</text:p>
  <text:p>Tab<text:tab/>stop and line<text:line-break/>break</text:p>
  <text:p>Ελληνικά Кириллица 漢字 café € naïve</text:p>
 </office:text></office:body>
</office:document>
XML

cat > "$work/lists-tables-pictures.fodt" <<XML
$head
 <office:automatic-styles>
  <text:list-style style:name="L1">
   <text:list-level-style-bullet text:level="1" text:bullet-char="•">
    <style:list-level-properties text:list-level-position-and-space-mode="label-alignment">
     <style:list-level-label-alignment text:label-followed-by="listtab" text:list-tab-stop-position="0.5in" fo:text-indent="-0.25in" fo:margin-left="0.5in"/>
    </style:list-level-properties>
   </text:list-level-style-bullet>
  </text:list-style>
  <text:list-style style:name="L2">
   <text:list-level-style-number text:level="1" style:num-suffix="." style:num-format="1">
    <style:list-level-properties text:list-level-position-and-space-mode="label-alignment">
     <style:list-level-label-alignment text:label-followed-by="listtab" text:list-tab-stop-position="0.5in" fo:text-indent="-0.25in" fo:margin-left="0.5in"/>
    </style:list-level-properties>
   </text:list-level-style-number>
  </text:list-style>
 </office:automatic-styles>
 <office:body><office:text>
  <text:p>Symptoms</text:p>
  <text:list text:style-name="L1">
   <text:list-item><text:p>headache</text:p></text:list-item>
   <text:list-item><text:p>fever</text:p></text:list-item>
  </text:list>
  <text:p>Remedies</text:p>
  <text:list text:style-name="L2">
   <text:list-item><text:p>Arnica</text:p></text:list-item>
   <text:list-item><text:p>Belladonna</text:p></text:list-item>
   <text:list-item><text:p>Nux vomica</text:p></text:list-item>
  </text:list>
  <table:table table:name="Doses">
   <table:table-column table:number-columns-repeated="2"/>
   <table:table-row>
    <table:table-cell office:value-type="string"><text:p>Remedy</text:p></table:table-cell>
    <table:table-cell office:value-type="string"><text:p>Dose</text:p></table:table-cell>
   </table:table-row>
   <table:table-row>
    <table:table-cell office:value-type="string"><text:p>Arnica</text:p></table:table-cell>
    <table:table-cell office:value-type="string"><text:p>30C</text:p></table:table-cell>
   </table:table-row>
  </table:table>
  <text:p>Before image <draw:frame draw:name="Image1" text:anchor-type="as-char" svg:width="0.5in" svg:height="0.5in"><draw:image><office:binary-data>iVBORw0KGgoAAAANSUhEUgAAAAEAAAABCAYAAAAfFcSJAAAADUlEQVR42mP8z8BQDwAEhQGAhKmMIQAAAABJRU5ErkJggg==</office:binary-data></draw:image></draw:frame> after image</text:p>
  <text:p>Last line</text:p>
 </office:text></office:body>
</office:document>
XML

for source in "$work"/*.fodt; do
  libreoffice --headless -env:UserInstallation=file://"$work/profile" \
    --convert-to rtf --outdir "$work" "$source" >/dev/null
done
cp "$work"/*.rtf "$here/"
ls -l "$here"/*.rtf
