// Appended to a copy of a report page. Measures, for every visible piece of text, the contrast ratio
// between its colour and the colour behind it, and leaves the result as JSON in a hidden "pre" element
// for a headless browser's DOM dump.
(function () {
  function rgba(text) {
    const m = /rgba?\(([^)]+)\)/.exec(text || '');
    if (!m) return null;
    const p = m[1].split(',').map(function (x) { return parseFloat(x); });
    return { r: p[0], g: p[1], b: p[2], a: p.length > 3 ? p[3] : 1 };
  }
  function over(top, bottom) {
    const a = top.a + bottom.a * (1 - top.a);
    if (a === 0) return { r: 0, g: 0, b: 0, a: 0 };
    function mix(c) { return (top[c] * top.a + bottom[c] * bottom.a * (1 - top.a)) / a; }
    return { r: mix('r'), g: mix('g'), b: mix('b'), a: a };
  }
  // What shows behind an element: its own background and its ancestors', over the white canvas.
  function background(el) {
    const layers = [];
    let image = false;
    for (let e = el; e && e.nodeType === 1; e = e.parentElement) {
      const style = getComputedStyle(e);
      if (style.backgroundImage && style.backgroundImage !== 'none') image = true;
      const c = rgba(style.backgroundColor);
      if (c && c.a > 0) {
        layers.push(c);
        if (c.a >= 1) break;
      }
    }
    let result = { r: 255, g: 255, b: 255, a: 1 };
    for (let i = layers.length - 1; i >= 0; --i) result = over(layers[i], result);
    return { color: result, image: image };
  }
  function luminance(c) {
    function channel(v) {
      v /= 255;
      return v <= 0.03928 ? v / 12.92 : Math.pow((v + 0.055) / 1.055, 2.4);
    }
    return 0.2126 * channel(c.r) + 0.7152 * channel(c.g) + 0.0722 * channel(c.b);
  }
  function ratio(a, b) {
    const la = luminance(a), lb = luminance(b);
    return (Math.max(la, lb) + 0.05) / (Math.min(la, lb) + 0.05);
  }
  function hex(c) {
    return '#' + [c.r, c.g, c.b].map(function (v) {
      return ('0' + Math.round(v).toString(16)).slice(-2);
    }).join('');
  }

  // The texts under root, each with its colours and ratio as they show now.
  function measure(root, hovered, texts) {
    const walker = document.createTreeWalker(root, NodeFilter.SHOW_TEXT);
    for (let node = walker.nextNode(); node; node = walker.nextNode()) {
      const text = node.nodeValue.replace(/\s+/g, ' ').trim();
      const el = node.parentElement;
      if (!text || !el || el.closest('script, style, title, noscript')) continue;
      const style = getComputedStyle(el);
      if (style.visibility !== 'visible' || style.display === 'none') continue;
      const range = document.createRange();
      range.selectNodeContents(node);
      const rects = Array.prototype.filter.call(range.getClientRects(), function (r) {
        return r.width > 0 && r.height > 0;
      });
      if (rects.length === 0) continue;
      const fg = rgba(style.color);
      const behind = background(el);
      const shown = over(fg, behind.color);
      texts.push({
        text: text.slice(0, 60),
        hovered: hovered,
        color: hex(shown),
        background: hex(behind.color),
        image: behind.image,
        ratio: Math.round(ratio(shown, behind.color) * 100) / 100
      });
    }
  }

  const texts = [];
  measure(document.body || document.documentElement, false, texts);

  // A headless page is never hovered: each ":hover" rule gets a twin for the class "qv-hover", put
  // right after it so that it wins where the hover rule would. Each link then takes the class, with
  // every element around it as a pointer over it would, and its texts are measured again.
  const HOVER = 'qv-hover';
  Array.prototype.forEach.call(document.styleSheets, function (sheet) {
    let rules;
    try { rules = sheet.cssRules; } catch (e) { return; }
    for (let i = rules.length - 1; i >= 0; --i) {
      const rule = rules[i];
      if (rule.selectorText && rule.selectorText.indexOf(':hover') >= 0) {
        sheet.insertRule(rule.selectorText.replace(/:hover/gi, '.' + HOVER) + ' {' + rule.style.cssText + '}', i + 1);
      }
    }
  });
  Array.prototype.forEach.call(document.querySelectorAll('a[href]'), function (link) {
    const chain = [];
    for (let e = link; e && e.nodeType === 1; e = e.parentElement) chain.push(e);
    chain.forEach(function (e) { e.classList.add(HOVER); });
    measure(link, true, texts);
    chain.forEach(function (e) { e.classList.remove(HOVER); });
  });

  const out = document.createElement('pre');
  out.id = 'qv-contrast';
  out.style.display = 'none';
  out.textContent = JSON.stringify(texts);
  (document.body || document.documentElement).appendChild(out);
})();
