<?xml version="1.0" encoding="UTF-8"?>
<!-- Daily summary: the person, the energy requirement and its formula, the day's foods and every
     followed nutrient against its limits. Input: a report document of Velmora (root "root",
     type "report") for one day. -->
<xsl:stylesheet version="1.0" xmlns:xsl="http://www.w3.org/1999/XSL/Transform">
  <xsl:output method="html" encoding="UTF-8" indent="yes" doctype-system="about:legacy-compat"/>

  <xsl:variable name="profile" select="/root/Profile"/>
  <xsl:variable name="person" select="$profile/Personal"/>
  <xsl:variable name="day" select="$profile/Log/LogDay"/>
  <xsl:variable name="metric" select="$person/@UnitsKG = '1'"/>
  <xsl:variable name="weightUnits">
    <xsl:choose>
      <xsl:when test="$metric">kg</xsl:when>
      <xsl:otherwise>lb</xsl:otherwise>
    </xsl:choose>
  </xsl:variable>

  <xsl:template match="/">
    <html lang="en">
      <head>
        <title>Daily summary – <xsl:call-template name="long-date"><xsl:with-param name="key" select="$day/@date"/></xsl:call-template></title>
        <style>
          @page { size: A4; margin: 16mm 15mm; }
          body { font-family: "DejaVu Sans", "Noto Sans", "Liberation Sans", Arial, sans-serif; font-size: 10pt;
                 line-height: 1.4; color: #222; max-width: 52em; margin: 2em auto; padding: 0 1em; }
          header { border-bottom: 3px solid #3b6e52; padding-bottom: .5em; margin-bottom: 1em; }
          h1 { font-size: 19pt; font-weight: 600; margin: 0; color: #24483a; }
          .date { font-size: 12pt; color: #555; margin-top: .15em; }
          h2 { font-size: 12pt; font-weight: 600; color: #24483a; border-bottom: 1px solid #9bb8a8;
               padding-bottom: 2px; margin: 1.6em 0 .5em; }
          table { border-collapse: collapse; width: 100%; }
          th { text-align: left; font-weight: 600; font-size: 8.5pt; text-transform: uppercase; letter-spacing: .03em;
               color: #555; border-bottom: 1px solid #777; padding: 3px 6px; }
          td { padding: 3px 6px; border-bottom: 1px solid #e4e4e4; vertical-align: top; }
          .num { text-align: right; white-space: nowrap; font-variant-numeric: tabular-nums; }
          .unit { color: #666; padding-left: 0; }
          .muted { color: #888; }
          dl.person { display: grid; grid-template-columns: max-content 1fr max-content 1fr; gap: 2px 14px; margin: 0; }
          dl.person dt { color: #666; }
          dl.person dd { margin: 0; }
          .energy { display: flex; gap: 2em; align-items: baseline; flex-wrap: wrap; }
          .big { font-size: 17pt; font-weight: 600; color: #24483a; }
          .formula { font-family: "DejaVu Sans Mono", "Liberation Mono", monospace; font-size: 8.5pt; color: #444;
                     background: #f3f6f4; border-left: 3px solid #9bb8a8; padding: 4px 8px; margin: .4em 0 .8em; }
          tr.low td { background: #fff4e5; }
          tr.high td { background: #fdeaea; }
          tr.low .status { color: #a04800; font-weight: 600; }
          tr.high .status { color: #a8001c; font-weight: 600; }
          tr.low .intake, tr.high .intake { font-weight: 700; }
          .status { white-space: nowrap; }
          .legend { font-size: 8.5pt; color: #666; margin-top: .4em; }
          .default { color: #777; font-style: italic; }
          footer { margin-top: 2em; font-size: 8pt; color: #999; border-top: 1px solid #ddd; padding-top: .3em; }
          @media print {
            body { margin: 0; max-width: none; padding: 0; }
            h2 { break-after: avoid; }
            tr { break-inside: avoid; }
            tr.low td, tr.high td, .formula { -webkit-print-color-adjust: exact; print-color-adjust: exact; }
          }
        </style>
      </head>
      <body>
        <header>
          <h1>Daily summary<xsl:if test="normalize-space(concat($person/FirstName, $person/LastName))">
            <xsl:text> for </xsl:text><xsl:value-of select="normalize-space(concat($person/FirstName, ' ', $person/LastName))"/></xsl:if></h1>
          <div class="date"><xsl:call-template name="long-date"><xsl:with-param name="key" select="$day/@date"/></xsl:call-template></div>
        </header>

        <xsl:call-template name="person"/>
        <xsl:call-template name="energy"/>
        <xsl:call-template name="foods"/>
        <xsl:call-template name="nutrients"/>

        <footer>Velmora daily summary · amounts as logged; intakes computed from the food data source.</footer>
      </body>
    </html>
  </xsl:template>

  <!-- The person as the energy requirement sees them on this day. -->
  <xsl:template name="person">
    <h2>Person</h2>
    <dl class="person">
      <dt>Age</dt>
      <dd><xsl:call-template name="age"/></dd>
      <dt>Gender</dt>
      <dd>
        <xsl:choose>
          <xsl:when test="$person/Sex/@Female = '1'">Female<xsl:if test="$person/Sex/@Pregnant = '1'">, pregnant</xsl:if><xsl:if test="$person/Sex/@Lactation = '1'">, lactating</xsl:if></xsl:when>
          <xsl:otherwise>Male</xsl:otherwise>
        </xsl:choose>
      </dd>
      <dt>Weight</dt>
      <dd>
        <xsl:variable name="measured" select="$day/Fact[@name = 'Weight'][@value]"/>
        <xsl:choose>
          <xsl:when test="$measured"><xsl:value-of select="format-number($measured/@value, '0.#')"/>&#160;<xsl:value-of select="$weightUnits"/> <span class="muted"> (measured this day)</span></xsl:when>
          <xsl:otherwise><xsl:value-of select="format-number($person/Weight/@value, '0.#')"/>&#160;<xsl:value-of select="$weightUnits"/></xsl:otherwise>
        </xsl:choose>
      </dd>
      <dt>Height</dt>
      <dd>
        <xsl:choose>
          <xsl:when test="$metric"><xsl:value-of select="$person/@Height"/>&#160;cm</xsl:when>
          <xsl:otherwise><xsl:value-of select="floor($person/@Height div 12)"/>&#160;ft <xsl:value-of select="$person/@Height mod 12"/>&#160;in</xsl:otherwise>
        </xsl:choose>
      </dd>
      <dt>Life style</dt>
      <dd>
        <xsl:choose>
          <xsl:when test="$person/@LifeStyle = 0">Sedentary</xsl:when>
          <xsl:when test="$person/@LifeStyle = 1">Low active</xsl:when>
          <xsl:when test="$person/@LifeStyle = 2">Active</xsl:when>
          <xsl:when test="$person/@LifeStyle = 3">Very active</xsl:when>
          <xsl:otherwise>Unknown</xsl:otherwise>
        </xsl:choose>
      </dd>
      <xsl:for-each select="$day/Fact[@name != 'Weight']">
        <dt><xsl:value-of select="@name"/></dt>
        <dd>
          <xsl:choose>
            <xsl:when test="@value"><xsl:value-of select="format-number(@value, '#,##0.##')"/><xsl:if test="@name = 'Extra Energy'">&#160;kcal</xsl:if></xsl:when>
            <xsl:otherwise><span class="muted">not measured</span></xsl:otherwise>
          </xsl:choose>
        </dd>
      </xsl:for-each>
    </dl>
  </xsl:template>

  <!-- Age in whole years on the day, months for a baby. -->
  <xsl:template name="age">
    <xsl:variable name="d" select="$day/@date"/>
    <xsl:variable name="y" select="number(substring($d, 1, 4))"/>
    <xsl:variable name="md" select="number(substring($d, 5, 4))"/>
    <xsl:variable name="dob" select="$person/DOB"/>
    <xsl:variable name="years" select="$y - $dob/@YYYY - number($md &lt; $dob/@MM * 100 + $dob/@DD)"/>
    <xsl:variable name="months" select="($y - $dob/@YYYY) * 12 + number(substring($d, 5, 2)) - $dob/@MM - number(number(substring($d, 7, 2)) &lt; $dob/@DD)"/>
    <xsl:choose>
      <xsl:when test="string($years) = 'NaN' or $months &lt; 0">unknown</xsl:when>
      <xsl:when test="$years &lt; 1"><xsl:value-of select="$months"/> months</xsl:when>
      <xsl:otherwise><xsl:value-of select="$years"/> years</xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="energy">
    <xsl:variable name="requirement" select="$day/EnergyRequirement"/>
    <xsl:variable name="eaten" select="($profile/Nutrients/NutrientRequirement[@gid = '1'] | $profile/Nutrients/NutrientRequirement[@gid = '0'][not(../NutrientRequirement[@gid = '1'])])[1]"/>
    <h2>Energy</h2>
    <div class="energy">
      <div>
        <div class="muted">Requirement</div>
        <xsl:choose>
          <xsl:when test="$requirement/@value &gt; 0"><span class="big"><xsl:value-of select="format-number($requirement/@value, '#,##0')"/></span> kcal/day</xsl:when>
          <xsl:otherwise><span class="big">–</span> <span class="muted">(the age is unknown)</span></xsl:otherwise>
        </xsl:choose>
      </div>
      <xsl:if test="$eaten">
        <div>
          <div class="muted">Eaten</div>
          <span class="big"><xsl:value-of select="format-number($eaten/@value, '#,##0')"/></span> kcal
          <xsl:if test="$requirement/@value &gt; 0">
            <!-- The program's own share, the one its other pages show; older documents lack it. -->
            <xsl:variable name="share" select="$eaten/Target/@percent"/>
            <span class="muted"> (<xsl:choose>
              <xsl:when test="$share and $eaten/Target/@goal = $requirement/@value"><xsl:value-of select="$share"/>&#160;%</xsl:when>
              <xsl:otherwise><xsl:value-of select="format-number(round($eaten/@value div $requirement/@value * 100), '0')"/>&#160;%</xsl:otherwise>
            </xsl:choose> of the requirement)</span>
          </xsl:if>
        </div>
      </xsl:if>
      <xsl:if test="$eaten/Target[@min or @max]">
        <div>
          <div class="muted">Target band</div>
          <span class="big"><xsl:call-template name="limit"><xsl:with-param name="v" select="$eaten/Target/@min"/></xsl:call-template>–<xsl:call-template name="limit"><xsl:with-param name="v" select="$eaten/Target/@max"/></xsl:call-template></span> kcal
          <span class="muted"><xsl:choose>
            <xsl:when test="$eaten/Target/@basis = 'EER'"> (requirement ±10 %)</xsl:when>
            <xsl:when test="$eaten/Target/@basis = 'own'"> (your own limits)</xsl:when>
          </xsl:choose></span>
        </div>
      </xsl:if>
    </div>
    <xsl:if test="normalize-space($requirement/@expression)">
      <div class="formula"><xsl:value-of select="$requirement/@expression"/></div>
    </xsl:if>

    <xsl:variable name="ranges" select="($day/EnergyComposition | $profile/Energy/EnergyComposition[not($day/EnergyComposition)])[1]"/>
    <table>
      <thead>
        <tr><th>Share of energy</th><th class="num">This day</th><th class="num">Wanted</th><th>Status</th></tr>
      </thead>
      <tbody>
        <xsl:for-each select="$profile/Energy/EnergyComposition/EnergyComponent">
          <xsl:variable name="range" select="$ranges/EnergyComponent[@Name = current()/@Name]"/>
          <xsl:variable name="low" select="@Value + 0.0001 &lt; $range/@Min"/>
          <xsl:variable name="high" select="$range/@Max != 0 and @Value - 0.0001 &gt; $range/@Max"/>
          <tr>
            <xsl:if test="$low"><xsl:attribute name="class">low</xsl:attribute></xsl:if>
            <xsl:if test="$high"><xsl:attribute name="class">high</xsl:attribute></xsl:if>
            <td><xsl:value-of select="@Name"/></td>
            <td class="num intake"><xsl:value-of select="format-number(@Value, '0.#')"/>&#160;%</td>
            <td class="num">
              <xsl:choose>
                <xsl:when test="$range/@Max = 0">at least <xsl:value-of select="format-number($range/@Min, '0.#')"/>&#160;%</xsl:when>
                <xsl:otherwise><xsl:value-of select="format-number($range/@Min, '0.#')"/>–<xsl:value-of select="format-number($range/@Max, '0.#')"/>&#160;%</xsl:otherwise>
              </xsl:choose>
            </td>
            <td class="status">
              <xsl:choose>
                <xsl:when test="$low">▼ below the range</xsl:when>
                <xsl:when test="$high">▲ above the range</xsl:when>
              </xsl:choose>
            </td>
          </tr>
        </xsl:for-each>
      </tbody>
    </table>
  </xsl:template>

  <xsl:template name="foods">
    <h2>Foods</h2>
    <xsl:choose>
      <xsl:when test="$day/Food/dayFood">
        <table>
          <thead>
            <tr><th>Food</th><th>Meal</th><th class="num">Amount</th><th class="num">Weight</th></tr>
          </thead>
          <tbody>
            <xsl:for-each select="$day/Food/dayFood">
              <tr>
                <td><xsl:value-of select="@name"/></td>
                <td><xsl:value-of select="@meal"/></td>
                <td class="num"><xsl:call-template name="amount"><xsl:with-param name="v" select="@amount"/><xsl:with-param name="units" select="@units"/></xsl:call-template>&#160;<xsl:value-of select="@units"/></td>
                <td class="num"><xsl:value-of select="format-number(@weight, '#,##0.#')"/>&#160;g</td>
              </tr>
            </xsl:for-each>
          </tbody>
        </table>
      </xsl:when>
      <xsl:otherwise><p class="muted">No food is logged for this day.</p></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <!-- Every followed nutrient. The day's own limits, where it has them, replace the profile's. -->
  <xsl:template name="nutrients">
    <h2>Nutrients</h2>
    <xsl:choose>
      <xsl:when test="$profile/Nutrients/NutrientRequirement">
        <table>
          <thead>
            <tr><th>Nutrient</th><th class="num">Intake</th><th></th><th class="num">Minimum</th><th class="num">Maximum</th><th class="num">% of target</th><th>Status</th></tr>
          </thead>
          <tbody>
            <xsl:for-each select="$profile/Nutrients/NutrientRequirement">
              <xsl:variable name="own" select="$day/Nutrients/NutrientRequirement[@gid = current()/@gid][1]"/>
              <xsl:variable name="limits" select="$own | self::node()[not($own)]"/>
              <!-- The target the program judged the day by; documents without one judge by the limits. -->
              <xsl:variable name="target" select="Target"/>
              <xsl:variable name="low" select="($target and $target/@status = 'under') or (not($target) and $limits/@min and @value &lt; $limits/@min)"/>
              <xsl:variable name="high" select="($target and $target/@status = 'over') or (not($target) and $limits/@max and @value &gt; $limits/@max)"/>
              <tr>
                <xsl:if test="$low"><xsl:attribute name="class">low</xsl:attribute></xsl:if>
                <xsl:if test="$high"><xsl:attribute name="class">high</xsl:attribute></xsl:if>
                <td><xsl:value-of select="@name"/><xsl:if test="$own"><span class="muted"> *</span></xsl:if></td>
                <td class="num intake"><xsl:value-of select="format-number(@value, '#,##0.###')"/></td>
                <td class="unit"><xsl:value-of select="translate(@units, '_', ' ')"/></td>
                <xsl:choose>
                  <xsl:when test="$target/@default = 'true'">
                    <td class="num default"><xsl:call-template name="limit"><xsl:with-param name="v" select="$target/@min"/></xsl:call-template></td>
                    <td class="num default"><xsl:call-template name="limit"><xsl:with-param name="v" select="$target/@max"/></xsl:call-template><xsl:if test="$target/@cdrr = 'true'"> †</xsl:if></td>
                  </xsl:when>
                  <xsl:otherwise>
                    <td class="num"><xsl:call-template name="limit"><xsl:with-param name="v" select="$limits/@min"/></xsl:call-template></td>
                    <td class="num"><xsl:call-template name="limit"><xsl:with-param name="v" select="$limits/@max"/></xsl:call-template></td>
                  </xsl:otherwise>
                </xsl:choose>
                <td class="num percent">
                  <xsl:choose>
                    <xsl:when test="$target/@percent"><xsl:value-of select="$target/@percent"/>&#160;%</xsl:when>
                    <xsl:otherwise><span class="muted">–</span></xsl:otherwise>
                  </xsl:choose>
                </td>
                <td class="status">
                  <xsl:choose>
                    <xsl:when test="$low">▼ below minimum</xsl:when>
                    <xsl:when test="$high">▲ above maximum</xsl:when>
                  </xsl:choose>
                </td>
              </tr>
            </xsl:for-each>
          </tbody>
        </table>
        <p class="legend">% of target is the intake against the minimum; for energy, against the requirement.</p>
        <xsl:if test="$day/Nutrients/NutrientRequirement">
          <p class="legend">* limits set for this day only</p>
        </xsl:if>
        <xsl:if test="$profile/Nutrients/NutrientRequirement/Target[@default = 'true']">
          <p class="legend"><span class="default">Grey italic</span> limits are default targets from the reference intakes: the RDA (else the AI) as minimum and the UL as maximum; energy within 10 % of the requirement.<xsl:if test="$profile/Nutrients/NutrientRequirement/Target[@cdrr = 'true']"> † For sodium, the 2019 Chronic Disease Risk Reduction intake stands as the upper limit.</xsl:if></p>
        </xsl:if>
      </xsl:when>
      <xsl:otherwise><p class="muted">The profile follows no nutrients.</p></xsl:otherwise>
    </xsl:choose>
  </xsl:template>

  <xsl:template name="limit">
    <xsl:param name="v"/>
    <xsl:choose>
      <xsl:when test="$v"><xsl:value-of select="format-number($v, '#,##0.###')"/></xsl:when>
      <xsl:otherwise><span class="muted">–</span></xsl:otherwise>
    </xsl:choose>
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
