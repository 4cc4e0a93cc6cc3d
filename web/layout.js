// Fitting the page to the browser window: the program's window at its own
// size in CSS pixels (15 twips to a pixel), scaled uniformly to fit, with the
// chart below it.
export const CHART_H = 210, BAR_H = 36;

export function installLayout({ form, stage, formBox, canvas, picture, below, medium, chart, W, H }) {
  formBox.style.width = W + 'px';
  formBox.style.height = H + 'px';
  for (const el of [canvas, picture]) {
    el.style.width = W + 'px';
    el.style.height = H + 'px';
  }
  picture.setAttribute('viewBox', `0 0 ${form.width} ${form.height}`);
  below.style.width = W + 'px';

  function fit() {
    const totalH = H + BAR_H + CHART_H;
    const scale = Math.min(window.innerWidth / W, window.innerHeight / totalH);
    const left = Math.max(0, (window.innerWidth - W * scale) / 2);
    stage.style.transform = `translate(${left}px, 0) scale(${scale})`;
    const dpr = window.devicePixelRatio || 1;
    medium.resize(Math.round(W * scale * dpr), Math.round(H * scale * dpr));
    chart.resize(W, CHART_H, scale * dpr);
  }
  window.addEventListener('resize', fit);
  matchMedia(`(resolution: ${window.devicePixelRatio}dppx)`).addEventListener('change', fit);
  fit();
  return { fit };
}
