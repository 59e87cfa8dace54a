<?xml version="1.0" encoding="UTF-8"?>
<!-- Daily menu: the day's foods grouped by meal, the meals in the order of the meal list.
     Input: a report document of Velmora (root "root", type "report") for one day. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes" doctype-system="about:legacy-compat"/>

  <xsl:variable name="profile" select="/root/Profile"/>
  <xsl:variable name="person" select="$profile/Personal"/>
  <xsl:variable name="day" select="$profile/Log/LogDay"/>
  <xsl:variable name="meals" select="$profile/Meals/Meal[@id != '']"/>

  <xsl:template match="/">
    <html lang="en">
      <head>
        <title>Menu – <xsl:call-template name="long-date"><xsl:with-param name="key" select="$day/@date"/></xsl:call-template></title>
        <style>
          @page { size: A4; margin: 18mm 16mm; }
          body { font-family: "DejaVu Sans", "Noto Sans", "Liberation Sans", Arial, sans-serif; font-size: 10.5pt;
                 line-height: 1.45; color: #222; max-width: 40em; margin: 2.5em auto; padding: 0 1em; }
          header { text-align: center; margin-bottom: 1.8em; }
          h1 { font-family: "DejaVu Serif", "Noto Serif", Georgia, serif; font-size: 24pt; font-weight: normal;
               letter-spacing: .04em; margin: 0; color: #24483a; }
          .date { font-size: 12pt; color: #555; margin-top: .2em; }
          .for { font-size: 10pt; color: #777; margin-top: .1em; }
          section { margin-bottom: 1.4em; break-inside: avoid; }
          h2 { font-family: "DejaVu Serif", "Noto Serif", Georgia, serif; font-size: 14pt; font-weight: normal;
               color: #24483a; display: flex; justify-content: space-between; align-items: baseline;
               border-bottom: 1px solid #9bb8a8; padding-bottom: 2px; margin: 0 0 .4em; }
          h2 .time { font-family: "DejaVu Sans", "Noto Sans", Arial, sans-serif; font-size: 9pt; color: #777; }
          /* Fixed columns, so the amounts of every meal line up under each other. */
          table { border-collapse: collapse; width: 100%; table-layout: fixed; }
          col.amount { width: 12em; }
          col.weight { width: 5em; }
          td { padding: 3px 4px; vertical-align: top; }
          td.amount { color: #333; padding-right: 1em; }
          td.weight { text-align: right; white-space: nowrap; color: #888; font-size: 9pt;
                      font-variant-numeric: tabular-nums; }
          span.meal { color: #888; font-size: 9pt; }
          .empty { text-align: center; color: #888; margin-top: 3em; }
          footer { margin-top: 2.5em; font-size: 8pt; color: #999; text-align: center; }
          @media print { body { margin: 0; max-width: none; padding: 0; } }
        </style>
      </head>
      <body>
        <header>
          <h1>Menu</h1>
          <div class="date"><xsl:call-template name="long-date"><xsl:with-param name="key" select="$day/@date"/></xsl:call-template></div>
          <xsl:if test="normalize-space(concat($person/FirstName, $person/LastName))">
            <div class="for"><xsl:value-of select="normalize-space(concat($person/FirstName, ' ', $person/LastName))"/></div>
          </xsl:if>
        </header>

        <xsl:for-each select="$meals">
          <xsl:variable name="entries" select="$day/Food/dayFood[@meal = current()/@id]"/>
          <xsl:if test="$entries">
            <section>
              <h2><span><xsl:value-of select="@id"/></span><span class="time">from <xsl:call-template name="time"><xsl:with-param name="t" select="@time"/></xsl:call-template></span></h2>
              <xsl:call-template name="entries"><xsl:with-param name="entries" select="$entries"/></xsl:call-template>
            </section>
          </xsl:if>
        </xsl:for-each>

        <!-- Foods of no meal, or of a meal the list does not know, are not left out. -->
        <xsl:variable name="others" select="$day/Food/dayFood[not(@meal = $meals/@id)]"/>
        <xsl:if test="$others">
          <section>
            <h2><span>Other foods</span></h2>
            <xsl:call-template name="entries"><xsl:with-param name="entries" select="$others"/></xsl:call-template>
          </section>
        </xsl:if>

        <xsl:if test="not($day/Food/dayFood)">
          <p class="empty">No food is logged for this day.</p>
        </xsl:if>
        <footer>Velmora</footer>
      </body>
    </html>
  </xsl:template>

  <xsl:template name="entries">
    <xsl:param name="entries"/>
    <table>
      <colgroup><col class="amount"/><col/><col class="weight"/></colgroup>
      <xsl:for-each select="$entries">
        <tr>
          <td class="amount"><xsl:call-template name="amount"><xsl:with-param name="v" select="@amount"/><xsl:with-param name="units" select="@units"/></xsl:call-template>&#160;<xsl:value-of select="@units"/></td>
          <td><xsl:value-of select="@name"/><xsl:if test="@meal != '' and not(@meal = $meals/@id)"> <span class="meal">(<xsl:value-of select="@meal"/>)</span></xsl:if></td>
          <td class="weight"><xsl:value-of select="format-number(@weight, '#,##0.#')"/>&#160;g</td>
        </tr>
      </xsl:for-each>
    </table>
  </xsl:template>

  <!-- A meal's start, stored as "7:0", shown as "7:00". -->
  <xsl:template name="time">
    <xsl:param name="t"/>
    <xsl:value-of select="substring-before($t, ':')"/>:<xsl:value-of select="format-number(number(substring-after($t, ':')), '00')"/>
  </xsl:template>

  <!-- A count of household units as a cook writes it (1½ cup); grams stay decimal. -->
  <xsl:template name="amount">
    <xsl:param name="v"/>
    <xsl:param name="units"/>
    <xsl:variable name="whole" select="floor($v)"/>
    <xsl:variable name="f" select="$v - $whole"/>
    <xsl:variable name="glyph">
      <xsl:if test="$units != 'g'">
        <xsl:choose>
          <xsl:when test="$f &gt; 0.1245 and $f &lt; 0.1255">⅛</xsl:when>
          <xsl:when test="$f &gt; 0.2495 and $f &lt; 0.2505">¼</xsl:when>
          <xsl:when test="$f &gt; 0.3328 and $f &lt; 0.3338">⅓</xsl:when>
          <xsl:when test="$f &gt; 0.3745 and $f &lt; 0.3755">⅜</xsl:when>
          <xsl:when test="$f &gt; 0.4995 and $f &lt; 0.5005">½</xsl:when>
          <xsl:when test="$f &gt; 0.6245 and $f &lt; 0.6255">⅝</xsl:when>
          <xsl:when test="$f &gt; 0.6662 and $f &lt; 0.6672">⅔</xsl:when>
          <xsl:when test="$f &gt; 0.7495 and $f &lt; 0.7505">¾</xsl:when>
          <xsl:when test="$f &gt; 0.8745 and $f &lt; 0.8755">⅞</xsl:when>
        </xsl:choose>
      </xsl:if>
    </xsl:variable>
    <xsl:choose>
      <xsl:when test="string($glyph)"><xsl:if test="$whole &gt; 0"><xsl:value-of select="$whole"/></xsl:if><xsl:value-of select="$glyph"/></xsl:when>
      <xsl:otherwise><xsl:value-of select="format-number($v, '#,##0.##')"/></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- "YYYYMMDD" as "10 December 2026". -->
  <xsl:template name="long-date">
    <xsl:param name="key"/>
    <xsl:variable name="m" select="number(substring($key, 5, 2))"/>
    <xsl:value-of select="number(substring($key, 7, 2))"/>
    <xsl:text> </xsl:text>
    <xsl:value-of select="normalize-space(substring('January  February March    April    May      June     July     August   SeptemberOctober  November December ', ($m - 1) * 9 + 1, 9))"/>
    <xsl:text> </xsl:text>
    <xsl:value-of select="substring($key, 1, 4)"/>
  </xsl:template>
</xsl:stylesheet>
