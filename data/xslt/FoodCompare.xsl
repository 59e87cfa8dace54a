<?xml version="1.0" encoding="UTF-8"?>
<!-- Food comparison: the nutrients of the data source in rows, the compared foods in columns, each
     value per 100 g. Input: Velmora's comparison document (root "root" with "Nutrients" and
     "ComparedFood"). -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes" doctype-system="about:legacy-compat"/>

  <xsl:variable name="foods" select="/root/ComparedFood/Food"/>
  <!-- Only nutrients that at least one of the foods has; the rest would be rows of dashes. -->
  <xsl:variable name="rows" select="/root/Nutrients/Nutrient[@gid = $foods/Nutrition/E/@N]"/>

  <xsl:template match="/">
    <html lang="en">
      <head>
        <title>Food comparison</title>
        <style>
          @page { size: A4 landscape; margin: 14mm 12mm; }
          body { font-family: "DejaVu Sans", "Noto Sans", "Liberation Sans", Arial, sans-serif; font-size: 9.5pt;
                 line-height: 1.35; color: #222; max-width: 72em; margin: 2em auto; padding: 0 1em; }
          header { border-bottom: 3px solid #3b6e52; padding-bottom: .4em; margin-bottom: 1em; }
          h1 { font-size: 19pt; font-weight: 600; margin: 0; color: #24483a; }
          .sub { color: #666; margin-top: .15em; }
          /* The foods share the width equally, so no column looks more important than another. */
          table { border-collapse: collapse; width: 100%; table-layout: fixed; }
          col.nutrient { width: 17em; }
          thead th { position: sticky; top: 0; background: #fff; }
          th { font-weight: 600; text-align: right; vertical-align: bottom; color: #24483a;
               border-bottom: 1.5px solid #555; padding: 4px 8px; }
          th.nutrient { text-align: left; color: #555; font-size: 8.5pt; text-transform: uppercase;
                        letter-spacing: .03em; }
          th.food { font-size: 9pt; overflow-wrap: break-word; }
          td { padding: 2px 8px; border-bottom: 1px solid #e6e6e6; }
          td.value { text-align: right; white-space: nowrap; font-variant-numeric: tabular-nums; }
          td.value.most { font-weight: 700; color: #24483a; }
          td.none { text-align: right; color: #bbb; }
          .units { color: #777; }
          tbody tr:nth-child(even) td { background: #f7f9f8; }
          .legend { font-size: 8.5pt; color: #666; margin-top: .5em; }
          .empty { color: #888; }
          @media print {
            body { margin: 0; max-width: none; padding: 0; }
            thead { display: table-header-group; }
            tr { break-inside: avoid; }
            tbody tr:nth-child(even) td { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
          }
        </style>
      </head>
      <body>
        <header>
          <h1>Food comparison</h1>
          <div class="sub">Nutrients in 100 g of each food</div>
        </header>
        <xsl:choose>
          <xsl:when test="$foods">
            <table>
              <colgroup><col class="nutrient"/><xsl:for-each select="$foods"><col/></xsl:for-each></colgroup>
              <thead>
                <tr>
                  <th class="nutrient">Nutrient</th>
                  <xsl:for-each select="$foods">
                    <th class="food"><xsl:value-of select="@Name"/></th>
                  </xsl:for-each>
                </tr>
              </thead>
              <tbody>
                <xsl:for-each select="$rows">
                  <xsl:variable name="gid" select="@gid"/>
                  <xsl:variable name="pattern">
                    <xsl:text>#,##0</xsl:text>
                    <xsl:if test="@Accuracy &gt; 0">.<xsl:value-of select="substring('000000', 1, @Accuracy)"/></xsl:if>
                  </xsl:variable>
                  <xsl:variable name="values" select="$foods/Nutrition/E[@N = $gid]"/>
                  <!-- Compared as shown: values that print alike are alike. -->
                  <xsl:variable name="scale" select="number(substring('1000000', 1, @Accuracy + 1))"/>
                  <tr>
                    <td><xsl:value-of select="@Name"/> <span class="units"> (<xsl:value-of select="@Units"/>)</span></td>
                    <xsl:for-each select="$foods">
                      <xsl:variable name="v" select="Nutrition/E[@N = $gid]"/>
                      <xsl:choose>
                        <xsl:when test="$v">
                          <td>
                            <xsl:attribute name="class">
                              <xsl:text>value</xsl:text>
                              <xsl:variable name="shown" select="round($v/@V * $scale)"/>
                              <xsl:if test="count($foods) &gt; 1 and $shown &gt; 0 and not($values[round(@V * $scale) &gt; $shown])"> most</xsl:if>
                            </xsl:attribute>
                            <xsl:value-of select="format-number($v/@V, $pattern)"/>
                          </td>
                        </xsl:when>
                        <xsl:otherwise><td class="none">–</td></xsl:otherwise>
                      </xsl:choose>
                    </xsl:for-each>
                  </tr>
                </xsl:for-each>
              </tbody>
            </table>
            <xsl:if test="count($foods) &gt; 1">
              <p class="legend">The highest value of each nutrient is in bold. – : the data source gives no value.</p>
            </xsl:if>
          </xsl:when>
          <xsl:otherwise><p class="empty">No foods to compare.</p></xsl:otherwise>
        </xsl:choose>
      </body>
    </html>
  </xsl:template>
</xsl:stylesheet>
