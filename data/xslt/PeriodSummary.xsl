<?xml version="1.0" encoding="UTF-8"?>
<!-- Period summary: the averages of a run of days and how often each followed nutrient met its
     target. Input: Velmora's period document (root "root" holding "Period" with "Energy", "Fact"
     and "Nutrient"). -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes" doctype-system="about:legacy-compat"/>

  <xsl:variable name="period" select="/root/Period"/>

  <!-- "YYYYMMDD" as "YYYY-MM-DD". -->
  <xsl:template name="date">
    <xsl:param name="key"/>
    <xsl:if test="string-length($key) = 8">
      <xsl:value-of select="concat(substring($key, 1, 4), '-', substring($key, 5, 2), '-', substring($key, 7, 2))"/>
    </xsl:if>
  </xsl:template>

  <xsl:template match="/">
    <html lang="en">
      <head>
        <title>Period summary</title>
        <style>
          @page { size: A4; margin: 14mm 12mm; }
          body { font-family: "DejaVu Sans", "Noto Sans", "Liberation Sans", Arial, sans-serif; font-size: 9.5pt;
                 line-height: 1.35; color: #222; max-width: 60em; margin: 2em auto; padding: 0 1em; }
          header { border-bottom: 3px solid #3b6e52; padding-bottom: .4em; margin-bottom: 1em; }
          h1 { font-size: 19pt; font-weight: 600; margin: 0; color: #24483a; }
          h2 { font-size: 12pt; color: #24483a; margin: 1.2em 0 .4em; }
          .sub { color: #666; margin-top: .15em; }
          table { border-collapse: collapse; width: 100%; }
          th { font-weight: 600; text-align: right; color: #24483a; border-bottom: 1.5px solid #555; padding: 4px 8px; }
          th.name { text-align: left; }
          td { padding: 2px 8px; border-bottom: 1px solid #e6e6e6; text-align: right;
               font-variant-numeric: tabular-nums; white-space: nowrap; }
          td.name { text-align: left; white-space: normal; }
          td.none { color: #bbb; }
          .units { color: #777; }
          tbody tr:nth-child(even) td { background: #f7f9f8; }
          .empty { color: #888; }
          .note { color: #666; font-size: 8.5pt; margin-top: .5em; }
          @media print {
            body { margin: 0; max-width: none; padding: 0; }
            thead { display: table-header-group; }
            tr { break-inside: avoid; }
          }
        </style>
      </head>
      <body>
        <header>
          <h1>Period summary</h1>
          <div class="sub">
            <xsl:call-template name="date"><xsl:with-param name="key" select="$period/@from"/></xsl:call-template>
            <xsl:text> to </xsl:text>
            <xsl:call-template name="date"><xsl:with-param name="key" select="$period/@to"/></xsl:call-template>
            <xsl:text>: </xsl:text>
            <xsl:value-of select="$period/@logged"/> of <xsl:value-of select="$period/@days"/>
            <xsl:text> days with foods</xsl:text>
          </div>
        </header>
        <xsl:choose>
          <xsl:when test="$period/@logged &gt; 0">
            <h2>Averages</h2>
            <table>
              <thead><tr><th class="name">Measure</th><th>Average</th><th>Days</th></tr></thead>
              <tbody>
                <tr>
                  <td class="name">Energy eaten <span class="units">(kcal)</span></td>
                  <td><xsl:value-of select="$period/Energy/@eaten"/></td>
                  <td><xsl:value-of select="$period/@logged"/></td>
                </tr>
                <xsl:if test="$period/Energy/@required">
                  <tr>
                    <td class="name">Energy required <span class="units">(kcal)</span></td>
                    <td><xsl:value-of select="$period/Energy/@required"/></td>
                    <td><xsl:value-of select="$period/@logged"/></td>
                  </tr>
                </xsl:if>
                <xsl:if test="$period/Energy/@percent">
                  <tr>
                    <td class="name">Energy eaten, share of the requirement</td>
                    <td><xsl:value-of select="$period/Energy/@percent"/>%</td>
                    <td><xsl:value-of select="$period/@logged"/></td>
                  </tr>
                  <tr>
                    <td class="name">Energy target band <span class="units">(kcal, requirement ±10 %)</span></td>
                    <td><xsl:value-of select="$period/Energy/@min"/>–<xsl:value-of select="$period/Energy/@max"/></td>
                    <td><xsl:value-of select="$period/@logged"/></td>
                  </tr>
                </xsl:if>
                <xsl:for-each select="$period/Fact">
                  <tr>
                    <td class="name">
                      <xsl:value-of select="@name"/>
                      <xsl:if test="string(@units)"><xsl:text> </xsl:text><span class="units">(<xsl:value-of select="@units"/>)</span></xsl:if>
                    </td>
                    <td><xsl:value-of select="@average"/></td>
                    <td><xsl:value-of select="@days"/></td>
                  </tr>
                </xsl:for-each>
              </tbody>
            </table>
            <h2>Nutrients</h2>
            <table>
              <thead>
                <tr>
                  <th class="name">Nutrient</th><th>Average</th><th>Target</th><th>% of target</th>
                  <th>Days under</th><th>Days within</th><th>Days over</th><th>Best day</th><th>Worst day</th>
                </tr>
              </thead>
              <tbody>
                <xsl:for-each select="$period/Nutrient">
                  <tr>
                    <td class="name"><xsl:value-of select="@name"/><xsl:text> </xsl:text><span class="units">(<xsl:value-of select="@units"/>)</span></td>
                    <td><xsl:value-of select="@average"/></td>
                    <td><xsl:value-of select="@target"/></td>
                    <td><xsl:if test="@percent"><xsl:value-of select="@percent"/>%</xsl:if></td>
                    <td><xsl:value-of select="@under"/></td>
                    <td><xsl:value-of select="@within"/></td>
                    <td><xsl:value-of select="@over"/></td>
                    <td><xsl:call-template name="date"><xsl:with-param name="key" select="@best"/></xsl:call-template></td>
                    <td><xsl:call-template name="date"><xsl:with-param name="key" select="@worst"/></xsl:call-template></td>
                  </tr>
                </xsl:for-each>
              </tbody>
            </table>
            <p class="note">Target: the mean of the days' lower targets (for energy, of the requirement); % of target compares
              the average with it. Best day: the day nearest its target, within a range with two ends the nearest its middle;
              none when several days are equally near.</p>
          </xsl:when>
          <xsl:otherwise>
            <p class="empty">No day of the period has foods.</p>
          </xsl:otherwise>
        </xsl:choose>
      </body>
    </html>
  </xsl:template>
</xsl:stylesheet>
