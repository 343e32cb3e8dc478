// The demo shop's state lives in localStorage: the cart maps item names to quantities.
const PRODUCTS = [
  { name: "Notebook", price: 7.0 }, { name: "Pen", price: 3.5 }, { name: "Mug", price: 12.0 },
  { name: "Backpack", price: 35.0 }, { name: "Desk lamp", price: 18.0 }, { name: "Stapler", price: 5.0 },
];

function money(amount) { return "$" + amount.toFixed(2); }
function loadCart() { return JSON.parse(localStorage.getItem("cart") || "{}"); }
function saveCart(cart) { localStorage.setItem("cart", JSON.stringify(cart)); }
function priceOf(name) { return PRODUCTS.find((p) => p.name === name).price; }

function cartTotal(cart) {
  return Object.entries(cart).reduce((sum, [name, qty]) => sum + priceOf(name) * qty, 0);
}

function showCartPeek() {
  const cart = loadCart();
  const count = Object.values(cart).reduce((a, b) => a + b, 0);
  const peek = document.querySelector(".peek");
  if (peek) peek.textContent = `${count} item${count === 1 ? "" : "s"} in your cart`;
}

document.addEventListener("DOMContentLoaded", showCartPeek);
