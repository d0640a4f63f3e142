// Loads the model and hands it to the page; a model that cannot load is reported like a runtime error.
import createNamoro from './namoro.js';
import { GamePage } from './GamePage.js';

try {
  const page = new GamePage(await createNamoro(), document);
  window.namoro = page; // for the browser tests and the benchmarks
  page.start();
} catch (error) {
  document.getElementById('error-text').textContent = String(error);
  document.getElementById('error').showModal();
}
